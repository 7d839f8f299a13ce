// Writes an hour (or the seconds given) of the three demo receivers' history
// under ROOT, ending now, with COM2's port lost for a minute: the README's
// pictures of the Trends window are taken from it.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "demo_history.h"
#include "model/history_store.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: make_demo_history ROOT [SECONDS]\n";
        return 2;
    }
    const std::string root = argv[1];
    const int64_t seconds = argc > 2 ? std::atoll(argv[2]) : 3600;
    const int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    const int64_t start = now - seconds;
    for (int i = 0; i < 3; ++i) {
        const std::string folder = root + "/" + HistoryFolderName(i + 1, "/dev/pts/" + std::to_string(10 + i));
        const auto samples = DemoHistory(i, start, seconds, i == 1 ? start + seconds / 2 : 0, i == 1 ? 60 : 0);
        std::cout << folder << ": " << WriteHistory(folder, samples) << " bytes\n";
    }
    return 0;
}
