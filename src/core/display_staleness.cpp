#include "core/display_staleness.h"

#include <utility>
#include <vector>

#include "core/main_window.h"

namespace {

constexpr int kSilentTicks = 25; // 5 s of 200 ms ticks

int g_silentTicks = 0;
// The fields greyed, with the colour each had.
std::vector<std::pair<Panel*, QColor>> g_greyed;

void GreyValueFields()
{
    if (!Form_Main || !g_greyed.empty())
        return;
    for (Panel* panel : Form_Main->ClientArea->findChildren<Panel*>()) {
        if (panel->colour() != WindowColour())
            continue; // not a data field showing data
        g_greyed.emplace_back(panel, panel->colour());
        panel->setColour(ButtonFaceColour());
    }
}

// Fields a fresh report has not recoloured get their colour back.
void RestoreValueFields()
{
    for (auto& [panel, colour] : g_greyed)
        if (panel->colour() == ButtonFaceColour())
            panel->setColour(colour);
    g_greyed.clear();
}

} // namespace

void TrackDisplayFreshness(bool packetThisTick, bool lost)
{
    g_silentTicks = packetThisTick ? 0 : g_silentTicks + 1;
    if (lost || g_silentTicks >= kSilentTicks)
        GreyValueFields();
    else if (packetThisTick && !g_greyed.empty())
        RestoreValueFields();
}

void ResetDisplayFreshness()
{
    g_silentTicks = 0;
    g_greyed.clear();
}
