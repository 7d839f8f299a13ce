#include "dump_command.h"

#include <filesystem>
#include <ostream>

#include "dump_input.h"
#include "dump_options.h"
#include "dump_run.h"

int RunDumpCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                   const volatile std::sig_atomic_t* stop, int stdinFd, int wakeFd)
{
    DumpOptions options;
    std::string error;
    switch (ParseDumpOptions(args, &options, &error)) {
    case DumpAction::Help: out << DumpUsage(); return 0;
    case DumpAction::Version: out << DumpVersion() << '\n'; return 0;
    case DumpAction::Error:
        err << "zelk_dump: " << error << "\n(zelk_dump --help lists the options)\n";
        return 2;
    case DumpAction::Run: break;
    }
    if (options.inputs.empty())
        options.inputs.push_back("-");

    Dumper dumper(out, options.output, options.hex);
    TimeIndexReader times;
    if (options.times) {
        std::error_code sizeError;
        const uint64_t size = std::filesystem::file_size(options.inputs[0], sizeError);
        if (sizeError || !times.Open(TimeIndexPath(options.inputs[0]), size)) {
            err << "zelk_dump: " << options.inputs[0] << " has no readable time index ("
                << TimeIndexPath(options.inputs[0]) << ")\n";
            return 1;
        }
        dumper.UseTimes(&times);
    }
    const DumpStop stopRequest{stop, wakeFd};
    for (const std::string& source : options.inputs) {
        if (stop && *stop)
            break;
        if (!FeedInput(source, options.line, in, stdinFd, dumper, err, stopRequest)) {
            dumper.Finish();
            return 1;
        }
    }
    dumper.Finish();
    dumper.WriteSummary(options.output == DumpOutput::Text ? out : err);
    return 0;
}
