#include "core/display_staleness.h"

#include <utility>
#include <vector>

#include "platform/widgets.h"

namespace {

// The fields greyed, with the colour each had.
std::vector<std::pair<Panel*, QColor>> g_greyed;

void GreyValueFields(QWidget* area)
{
    if (!g_greyed.empty())
        return;
    for (Panel* panel : area->findChildren<Panel*>()) {
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

void ShowDisplayStale(QWidget* area, bool stale)
{
    if (stale)
        GreyValueFields(area);
    else
        RestoreValueFields();
}

void ResetDisplayFreshness() { g_greyed.clear(); }
