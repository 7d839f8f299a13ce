// zelk_sim --listen [HOST:]PORT: the receivers on TCP ports instead of
// pseudo-terminals (receiver i on PORT + i; PORT 0 gives each a free port).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/line_runner.h"

struct ListenOption {
    bool on = false;
    std::string host; // "" for every address
    uint16_t port = 0;
};

// Takes --listen and its value out of args. False (error filled) on a bad value.
bool TakeListenOption(std::vector<std::string>& args, ListenOption* out, std::string* error);
// Adds the source to the runner on a pseudo-terminal, or on its TCP port when listening.
bool AddLine(LineRunner& runner, std::unique_ptr<LineSource> source, const ListenOption& listen, int index,
             std::string* error);
const char* ListenUsage();
