// Copies the question table, and the defined papers, between a bank file and the server named in the
// [db] section of a profile:
//   bankcopy to-server tk.db i.ini
//   bankcopy from-server i.ini tk.db
#include "platform/FileSystem.h"
#include "room/BankCopier.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

int main(int argc, char** argv)
{
    const bool up = argc == 4 && std::strcmp(argv[1], "to-server") == 0;
    const bool down = argc == 4 && std::strcmp(argv[1], "from-server") == 0;
    if (!up && !down) {
        std::fprintf(stderr, "usage: bankcopy to-server BANK.db PROFILE.ini\n"
                             "       bankcopy from-server PROFILE.ini BANK.db\n");
        return 2;
    }
    // The program's paths are GBK; the names given here are the system's.
    const std::optional<std::string> bank = platform::FileSystem::fromSystemPath(up ? argv[2] : argv[3]);
    const std::optional<std::string> profile = platform::FileSystem::fromSystemPath(up ? argv[3] : argv[2]);
    if (!bank || !profile) {
        std::fprintf(stderr, "bankcopy: a file name has characters GBK cannot hold\n");
        return 2;
    }
    const RoomConfig server = RoomConfig::read(*profile);
    if (!server.onServer()) {
        std::fprintf(stderr, "bankcopy: %s has no [db] section with kind=mysql\n", up ? argv[3] : argv[2]);
        return 2;
    }
    if (!server.portValid()) {
        std::fprintf(stderr, "bankcopy: %s: port=%s is not a port number (1 to 65535)\n", up ? argv[3] : argv[2],
                     server.badPort->c_str());
        return 2;
    }
    BankCopier copier;
    const bool ok = up ? copier.toServer(*bank, server) : copier.fromServer(server, *bank);
    if (!ok) {
        std::fprintf(stderr, "bankcopy: %s: %s\n", server.serverName().c_str(), copier.lastErrorText().c_str());
        return 1;
    }
    std::printf("%d questions copied\n", copier.copiedRows());
    if (copier.copiedPapers() > 0)
        std::printf("%d papers copied\n", copier.copiedPapers());
    return 0;
}
