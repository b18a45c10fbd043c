#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Character encodings of the text formats. Files are read into UTF-8; GBK
// files are converted, UTF-8 files lose their byte order mark.
enum class TextEncoding { Auto, Utf8, Gbk };

class TextDecoder {
public:
    // How a bad byte is placed for the user: by line and byte, or by the
    // record and field of a comma-separated file.
    enum class Layout { Lines, Records };

    // The text as UTF-8, without a copy when the bytes are UTF-8 already: a
    // view of bytes, or of converted when they had to be converted. Auto takes
    // a file with a byte order mark, or one that is UTF-8 but for a few
    // stray bytes, as UTF-8 and anything else as GBK. Every byte must belong
    // to a character of the encoding: a file with foreign bytes (a slip of an
    // editor, another encoding, or no text at all) gives nullopt and the
    // reason (GBK, naming where the first one is) in error instead of
    // private-use or replacement characters.
    static std::optional<std::string_view> toUtf8(std::string_view bytes, TextEncoding encoding, std::string& converted,
                                                  std::string& error, Layout layout = Layout::Lines);
    // UTF-8 bytes without their byte order mark.
    static std::string_view withoutByteOrderMark(std::string_view bytes);
    // "utf8", "utf-8", "gbk" (any case); Auto for anything else, with ok false.
    static TextEncoding parse(std::string_view name, bool& ok);
    // Lines split at CR LF, LF or CR; a final line break ends the last line.
    static std::vector<std::string_view> lines(std::string_view text);
    static constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
};
