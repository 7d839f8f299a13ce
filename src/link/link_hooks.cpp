#include "link/link_hooks.h"

LinkHookSet& LinkHooks()
{
    static LinkHookSet hooks;
    return hooks;
}
