#include "adn/text_files.h"

#include <algorithm>

std::string adn_path(const std::string& file_name) {
    return std::string(ADN_DIRECTORY) + "/" + file_name;
}

bool LineReader::next(std::string& line, bool* ended) {
    if (at_ >= text_.size()) return false;
    std::size_t most = static_cast<std::size_t>(LINE_READ_SIZE - 1);
    std::string_view piece = text_.substr(at_, most);
    std::size_t feed = piece.find('\n');
    if (feed != std::string_view::npos) piece = piece.substr(0, feed + 1);
    at_ += piece.size();
    std::size_t length = std::min(piece.find('\n'), piece.find('\0'));
    if (length == std::string_view::npos) length = piece.size();
    // A piece that stopped short of the limit without a line feed met the end.
    bool met_end = feed == std::string_view::npos && piece.size() < most;
    if (ended != nullptr) *ended = (length < piece.size() && piece[length] == '\n') || met_end;
    line.assign(piece.substr(0, length));
    return true;
}
