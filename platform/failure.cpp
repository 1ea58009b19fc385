#include "platform/failure.h"

#include "platform/numbertext.h"

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
    case Failure::FileTooLarge: return "File troppo grande";
    case Failure::DiskFull: return "Disco pieno";
    case Failure::InputPastEnd: return "Input oltre la fine del file";
    case Failure::TooManyFiles: return "Troppi file";
    case Failure::DeviceUnavailable: return "Periferica non disponibile";
    case Failure::PermissionDenied: return "Autorizzazione negata";
    case Failure::PathFileAccessError: return "Errore di accesso al percorso/file";
    case Failure::PathNotFound: return "Impossibile trovare il percorso";
    case Failure::ComponentError: return "Errore della finestra di selezione file";
    }
    return "Errore di I/O della periferica";
}

} // namespace

Failure Failure::of(Number number)
{
    return Failure{number, descriptionOf(number)};
}

std::string Failure::message(std::string_view prefix) const
{
    std::string text{prefix};
    appendNumber(text, number);
    text += " - ";
    text += description;
    return text;
}
