#include "room/RoomConfig.h"

#include "platform/ProfileReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

using Lookup = std::function<std::string(std::string_view key, std::string_view fallback)>;

RoomConfig parse(const Lookup& value)
{
    RoomConfig config;
    const std::string kind = lowered(value("kind", ""));
    if (kind != "mysql" && kind != "mariadb")
        return config;
    config.kind = DbKind::Mysql;
    config.host = value("host", config.host);
    // Left out, the port is the default; written, it must be one.
    const std::string port = value("port", std::to_string(config.port));
    int number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (!port.empty() && error == std::errc() && end == port.data() + port.size() && number > 0 && number < 65536)
        config.port = number;
    else
        config.badPort = port;
    config.database = value("name", config.database);
    config.user = value("user", config.user);
    config.password = value("password", config.password);
    config.charset = value("charset", config.charset);
    return config;
}

} // namespace

RoomConfig RoomConfig::read(std::string_view profilePath)
{
    return parse([profilePath](std::string_view key, std::string_view fallback) {
        return platform::ProfileReader::readString(profilePath, section, key, fallback);
    });
}

RoomConfig RoomConfig::fromText(std::string_view profileText)
{
    return parse([profileText](std::string_view key, std::string_view fallback) {
        return platform::ProfileReader::readStringFromText(profileText, section, key, fallback);
    });
}

std::string RoomConfig::serverName() const
{
    return host + ":" + std::to_string(port) + "/" + database;
}

ConnectOptions RoomConfig::connectOptions() const
{
    ConnectOptions options = ConnectOptions::mysql(host, port, database, user, password);
    options.charset = charset;
    options.connectTimeoutSeconds = connectSeconds;
    options.transferTimeoutSeconds = transferSeconds;
    return options;
}
