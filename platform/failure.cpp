#include "failure.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

const char *descriptionOf(Failure::Number number)
{
    switch (number) {
    case Failure::Overflow: return "Overflow";
    case Failure::OutOfMemory: return "Memoria esaurita";
    case Failure::BadFileName: return "Nome o numero di file non valido";
    case Failure::FileNotFound: return "Impossibile trovare il file";
    case Failure::FileAlreadyOpen: return "File già aperto: il file di output è il file di input";
    case Failure::DeviceIoError: return "Errore di I/O della periferica";
    case Failure::DiskFull: return "Disco pieno";
    case Failure::InputPastEnd: return "Input oltre la fine del file";
    case Failure::TooManyFiles: return "Troppi file";
    case Failure::PermissionDenied: return "Autorizzazione negata";
    case Failure::PathFileAccessError: return "Errore di accesso al percorso/file";
    case Failure::PathNotFound: return "Impossibile trovare il percorso";
    case Failure::ComponentError: return "Errore della finestra di selezione file";
    }
    return "Errore di I/O della periferica";
}

// ENOENT means "file not found" when the folder exists, "path not found" otherwise.
bool parentFolderExists(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return true; // relative name in the current folder
    const std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

Failure Failure::of(Number number)
{
    return Failure{number, descriptionOf(number)};
}

Failure Failure::fromErrno(int error, const std::string &path)
{
    switch (error) {
    case ENOENT:
        return of(parentFolderExists(path) ? FileNotFound : PathNotFound);
    case ENOTDIR:
        return of(PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return of(PermissionDenied);
    case EISDIR:
    case ELOOP:
        return of(PathFileAccessError);
    case ENAMETOOLONG:
    case EINVAL:
        return of(BadFileName);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return of(DiskFull);
    case EMFILE:
    case ENFILE:
        return of(TooManyFiles);
    case ENOMEM:
        return of(OutOfMemory);
    default:
        return of(DeviceIoError);
    }
}
