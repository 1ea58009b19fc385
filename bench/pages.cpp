#include "bench/pages.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

constexpr int PageLines = 32767;
constexpr std::size_t LongestLine = 32766;

// A fixed-seed generator: the same bytes on every run, compiler and library.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint32_t next()
    {
        m_state += 0x9E3779B97F4A7C15u;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
    }
    std::size_t below(std::size_t bound) { return next() % bound; }

private:
    std::uint64_t m_state;
};

// Ordinary words of a page's text. None begins with the letters of a listed extension,
// so a "." before one of them never selects a line by accident.
constexpr std::array<std::string_view, 40> Words{
    "della", "pagina", "viaggio", "il", "sito", "che", "una", "nel", "per", "questo",
    "catalogo", "prodotti", "prezzo", "euro", "disponibile", "ordine", "consegna",
    "informazioni", "contatti", "azienda", "Milano", "Roma", "servizio", "clienti",
    "offerta", "settimana", "nuovo", "modello", "colore", "rosso", "verde", "tabella",
    "dati", "anno", "mese", "giorno", "ora", "elenco", "voce", "nota"};

// Dotted names that are no reference: what the extension search has to look past.
constexpr std::array<std::string_view, 6> OtherNames{
    "versione.txt", "modulo.doc", "listino.pdf", "archivio.zip", "stile.css", "v1.2.3"};

class LineMaker
{
public:
    LineMaker(Random &random, bool tabs) : m_random(random), m_tabs(tabs) {}

    void indent(std::string &line)
    {
        if (m_tabs)
            line.append(1 + m_random.below(6), '\t');
        else
            line.append(2 * (1 + m_random.below(6)), ' ');
    }

    // Words, separators and the odd punctuation until the line reaches `length`.
    void text(std::string &line, std::size_t length)
    {
        while (line.size() < length) {
            line += Words[m_random.below(Words.size())];
            const auto roll = m_random.below(16);
            if (roll == 0)
                line += ',';
            else if (roll == 1)
                line += '.';
            line += m_tabs && m_random.below(8) == 0 ? '\t' : ' ';
        }
    }

    void number(std::string &line) { line += std::to_string(m_random.below(10000)); }

private:
    Random &m_random;
    bool m_tabs;
};

// One line of about 1,000 bytes. Lines that are selected take turns on the three rules:
// a path in an attribute, a linked page behind a closing tag, a Windows path.
std::string ordinaryLine(Random &random, LineMaker &maker, int index, bool selected)
{
    std::string line;
    const std::size_t length = 900 + random.below(200);
    maker.indent(line);
    if (!selected) {
        line += random.below(2) ? "<p class=\"testo\">" : "<td align=\"left\">";
        maker.text(line, length);
        line += random.below(2) ? "</p>" : "</td>";
        return line;
    }
    switch (index / 3 % 3) {
    case 0:
        line += "<img src=\"immagini/foto";
        maker.number(line);
        line += ".jpg\" alt=\"";
        maker.text(line, length);
        line += "\">";
        break;
    case 1:
        line += "<td>";
        maker.text(line, length / 2);
        line += "</td><td>";
        maker.text(line, length);
        line += "<a href=\"pagina";
        maker.number(line);
        line += ".HTM\">dettagli</a></td>";
        break;
    default:
        line += "<p>Il file si trova in C:\\Documenti\\Listini ";
        maker.text(line, length);
        line += "</p>";
        break;
    }
    return line;
}

// A line of exactly `length` bytes that only its last four bytes select: the first "/"
// closes a tag, no backslash, many dots that are no extension, and tabs to replace.
void appendWorstLine(std::string &out, Random &random, std::size_t length)
{
    const std::size_t start = out.size();
    out += "</b>\t";
    while (out.size() - start < length - 4) {
        const auto roll = random.below(8);
        if (roll == 0)
            out += OtherNames[random.below(OtherNames.size())];
        else
            out += Words[random.below(Words.size())];
        out += roll == 1 ? '\t' : ' ';
    }
    out.resize(start + length - 4);
    out += ".gif";
}

} // namespace

std::string_view pageName(PageKind kind)
{
    switch (kind) {
    case PageKind::Realistic: return "realistic";
    case PageKind::Tabs: return "tabs";
    case PageKind::Worst: return "worst";
    case PageKind::LongLine: return "longline";
    case PageKind::AllSelected: return "allselected";
    }
    return "page";
}

std::string makePage(PageKind kind)
{
    Random random(0x5EED + static_cast<std::uint64_t>(kind));
    std::string page;
    switch (kind) {
    case PageKind::Realistic:
    case PageKind::Tabs:
    case PageKind::AllSelected: {
        LineMaker maker(random, kind == PageKind::Tabs);
        page.reserve(PageLines * 1024u);
        for (int index = 0; index < PageLines; ++index) {
            const bool selected = kind == PageKind::AllSelected || index % 3 == 0;
            page += ordinaryLine(random, maker, index, selected);
            page += "\r\n";
        }
        break;
    }
    case PageKind::Worst:
        page.reserve(PageLines * (LongestLine + 2));
        for (int index = 0; index < PageLines; ++index) {
            appendWorstLine(page, random, LongestLine);
            page += "\r\n";
        }
        break;
    case PageKind::LongLine:
        appendWorstLine(page, random, LongestLine);
        page += "\r\n";
        break;
    }
    return page;
}

bool writePage(const std::string &path, std::string_view page)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return false;
    if (std::fwrite(page.data(), 1, page.size(), file.get()) != page.size())
        return false;
    return std::fclose(file.release()) == 0;
}

std::size_t writeWorstPage(const std::string &path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return 0;
    Random random(0x5EED + static_cast<std::uint64_t>(PageKind::Worst));
    std::string line;
    std::size_t size = 0;
    for (int index = 0; index < PageLines; ++index) {
        line.clear();
        appendWorstLine(line, random, LongestLine);
        line += "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size())
            return 0;
        size += line.size();
    }
    return std::fclose(file.release()) == 0 ? size : 0;
}
