#include "DeclaredCounts.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

namespace Orvanta {

namespace {

namespace fs = std::filesystem;

// The header is read up to this far; a header that does not end within it is left to the library.
constexpr size_t kHeaderBytes = 64 << 10;
constexpr uint64_t kSaturated = std::numeric_limits<uint64_t>::max();

uint64_t timesSaturating(uint64_t a, uint64_t b)
{
    uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? kSaturated : product;
}

uint64_t plusSaturating(uint64_t a, uint64_t b)
{
    uint64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? kSaturated : sum;
}

// A count as the header writes it: decimal digits, saturating where it does not fit 64 bits.
bool parseCount(const std::string& text, uint64_t& count)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = 0;
    for (char c : text)
        count = plusSaturating(timesSaturating(count, 10), uint64_t(c - '0'));
    return true;
}

std::string countText(uint64_t count)
{
    return count == kSaturated ? "more than 18446744073709551615" : std::to_string(count);
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string tooFew(const std::string& declared, uint64_t needed, uint64_t available)
{
    return "the header declares " + declared + ", at least " + countText(needed) + " bytes of records, but only " +
           std::to_string(available) + " bytes follow it";
}

// Whitespace-separated words of an OFF file, skipping '#' comments to the end of their line.
class OffWords {
public:
    explicit OffWords(const std::string& text) : text(text) {}
    bool next(std::string& word)
    {
        for (;;) {
            while (position < text.size() && std::isspace(static_cast<unsigned char>(text[position])))
                ++position;
            if (position < text.size() && text[position] == '#') {
                position = std::min(text.find('\n', position), text.size());
                continue;
            }
            break;
        }
        const size_t start = position;
        while (position < text.size() && !std::isspace(static_cast<unsigned char>(text[position])) &&
               text[position] != '#')
            ++position;
        word = text.substr(start, position - start);
        // A word that runs to the end of what was read may go on in the file.
        return !word.empty() && position < text.size();
    }
    size_t offset() const { return position; }

private:
    const std::string& text;
    size_t position = 0;
};

bool offCountsFit(const std::string& header, bool namedOff, uint64_t fileSize, std::string& error)
{
    OffWords words(header);
    std::string word;
    if (!words.next(word))
        return true;
    // "OFF" with its variants ("COFF", "NOFF", "STOFF", "4OFF", "nOFF" with a dimension after it).
    const std::string keyword = word;
    const bool hasKeyword = keyword.size() <= 8 && endsWith(keyword, "OFF");
    if (!hasKeyword && !namedOff)
        return true;
    if (hasKeyword) {
        if (!words.next(word) || word == "BINARY")
            return true;
        if (endsWith(keyword, "nOFF") && !words.next(word))
            return true;
    }
    uint64_t vertices = 0, faces = 0;
    if (!parseCount(word, vertices) || !words.next(word) || !parseCount(word, faces))
        return true;
    // Each record counts the separator before it, so the records follow the face count exactly.
    const uint64_t available = fileSize - std::min<uint64_t>(fileSize, words.offset());
    const uint64_t needed = plusSaturating(timesSaturating(vertices, kMinOffVertexBytes),
                                           timesSaturating(faces, kMinOffFaceBytes));
    if (needed <= available)
        return true;
    error = tooFew(countText(vertices) + " vertices and " + countText(faces) + " faces", needed, available);
    return false;
}

// Bytes of a PLY scalar type in a binary file, 0 for an unknown type.
uint64_t plyTypeBytes(const std::string& type)
{
    static const std::pair<const char*, uint64_t> kTypes[] = {
        {"char", 1},   {"int8", 1},    {"uchar", 1},  {"uint8", 1},  {"short", 2}, {"int16", 2},
        {"ushort", 2}, {"uint16", 2},  {"int", 4},    {"int32", 4},  {"uint", 4},  {"uint32", 4},
        {"float", 4},  {"float32", 4}, {"double", 8}, {"float64", 8}};
    for (const auto& [name, bytes] : kTypes)
        if (type == name)
            return bytes;
    return 0;
}

struct PlyElement {
    std::string name;
    uint64_t count = 0;
    uint64_t properties = 0;
    uint64_t binaryBytes = 0;  // the least bytes of one record in a binary file
};

bool plyCountsFit(const std::string& header, uint64_t fileSize, std::string& error)
{
    bool ascii = false, known = false;
    std::vector<PlyElement> elements;
    size_t position = 0;
    for (bool first = true;; first = false) {
        const size_t end = header.find('\n', position);
        if (end == std::string::npos)
            return true;  // the header does not end within what was read
        std::string line = header.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> words;
        for (size_t at = 0; at < line.size();) {
            const size_t start = line.find_first_not_of(" \t", at);
            if (start == std::string::npos)
                break;
            at = std::min(line.find_first_of(" \t", start), line.size());
            words.push_back(line.substr(start, at - start));
        }
        if (first) {
            if (words.size() != 1 || words[0] != "ply")
                return true;
            continue;
        }
        if (words.empty())
            continue;
        if (words[0] == "end_header")
            break;
        if (words[0] == "format" && words.size() >= 2) {
            ascii = words[1] == "ascii";
            known = ascii || words[1] == "binary_little_endian" || words[1] == "binary_big_endian";
        } else if (words[0] == "element" && words.size() >= 3) {
            PlyElement element;
            element.name = words[1];
            if (!parseCount(words[2], element.count))
                return true;
            elements.push_back(element);
        } else if (words[0] == "property" && !elements.empty()) {
            // "property TYPE NAME" or "property list COUNTTYPE ITEMTYPE NAME": a list holds at
            // least its count.
            const bool list = words.size() >= 2 && words[1] == "list";
            const uint64_t bytes = plyTypeBytes(words.size() >= 3 ? words[list ? 2 : 1] : std::string());
            if (bytes == 0)
                return true;
            elements.back().properties += 1;
            elements.back().binaryBytes += bytes;
        }
    }
    if (!known)
        return true;
    // An ASCII record is a line with a number and a separator for each property; the last line of
    // the file may lack its line break.
    uint64_t needed = 0;
    std::string declared;
    for (const PlyElement& element : elements) {
        const uint64_t recordBytes = ascii ? 2 * element.properties : element.binaryBytes;
        needed = plusSaturating(needed, timesSaturating(element.count, recordBytes));
        declared += (declared.empty() ? "" : ", ") + countText(element.count) + " '" + element.name + "' records";
    }
    if (ascii && needed > 0)
        --needed;
    const uint64_t available = fileSize - std::min<uint64_t>(fileSize, position);
    if (needed <= available)
        return true;
    error = tooFew(declared.empty() ? "no elements" : declared, needed, available);
    return false;
}

}  // namespace

bool declaredCountsFit(const std::string& path, std::string& error)
{
    std::error_code code;
    if (!fs::is_regular_file(path, code))
        return true;
    const uint64_t fileSize = fs::file_size(path, code);
    if (code)
        return true;
    std::ifstream file(path, std::ios::binary);
    std::string header(std::min<uint64_t>(kHeaderBytes, fileSize), '\0');
    if (!file.read(header.data(), std::streamsize(header.size())))
        return true;
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (header.compare(0, 3, "ply") == 0)
        return plyCountsFit(header, fileSize, error);
    return offCountsFit(header, extension == ".off", fileSize, error);
}

}  // namespace Orvanta
