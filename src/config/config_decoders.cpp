#include "config/config_decoders.h"

#include "config/form_filters.h"
#include "config/form_gps.h"
#include "config/form_io_options.h"
#include "config/form_serial.h"
#include "monitor/dispatch.h"

void RegisterConfigDecoders()
{
    RegisterModuleDecoders({
        {0x55, kNoSubId, &DecodeReport_55, ReportGroup::B},
        {0x70, kNoSubId, &DecodeReport_70, ReportGroup::B},
        {0x8F, 0x15, &DecodeReport_8F15, ReportGroup::B},
        {0xBB, kNoSubId, &DecodeReport_BB, ReportGroup::B},
        {0xBC, kNoSubId, &DecodeReport_BC, ReportGroup::B},
    });
}
