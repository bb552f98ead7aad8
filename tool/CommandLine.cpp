// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include <limits>

namespace hdiutil {

namespace {

bool isHelp(const std::string& arg)
{
    return arg == "help" || arg == "-help" || arg == "--help";
}

UsageError error(std::string message)
{
    return UsageError { std::move(message) };
}

} // namespace

const char* usageText()
{
    return "usage: velbrook-hdiutil makehybrid -o IMAGE [options] [--] SOURCE\n"
           "       velbrook-hdiutil help\n"
           "\n"
           "Writes the folder SOURCE as an ISO 9660 level 3 image with Rock Ridge (and Joliet with -joliet).\n"
           "With -item, SOURCE is a file or folder that the image holds as its only entry, by its own name;\n"
           "SOURCE /dev/fd/N, a descriptor open on the item, is named as that item.\n"
           "Options may come in any order after makehybrid:\n"
           "  -o IMAGE                    image to write; the value is taken as given, even if it starts with -\n"
           "  -iso                        write ISO 9660 with Rock Ridge (required)\n"
           "  -joliet                     add a Joliet tree (needs -iso)\n"
           "  -ov                         replace IMAGE if it exists; without it an existing IMAGE fails the run\n"
           "  -item                       image SOURCE (a file or folder, a link followed) as the one entry of the\n"
           "                              root, by its own name, as if SOURCE were in a new folder of its own\n"
           "  -default-volume-name NAME   volume name for both trees (default: last element of SOURCE, without\n"
           "                              its last extension with -item)\n"
           "  -iso-volume-name NAME       ISO 9660 volume name (up to 32 of A-Z 0-9 _, others become _)\n"
           "  -joliet-volume-name NAME    Joliet volume name (up to 16 UTF-16 units)\n"
           "  -quiet                      print no progress lines\n"
           "  --                          everything after it is SOURCE, so SOURCE may start with -\n"
           "\n"
           "Progress: one line \"N%\" on stdout per tenth of the image written.\n"
           "The image is written as an unnamed file in IMAGE's folder and named IMAGE only when complete. Where\n"
           "the file system has no unnamed files, it is written as \".NAME.PID.part\" in that folder (NAME the\n"
           "last element of IMAGE, cut where the whole would be too long, PID this process); after the tool ends\n"
           "by a signal it cannot catch, its caller may remove that file. IMAGE and its temporary file are never\n"
           "put into the image. Times are recorded in UTC.\n"
           "With SOURCE_DATE_EPOCH set (seconds since 1970), that time is taken as now and later file times are\n"
           "recorded as it: the same tree gives the same image, byte for byte, whenever it is imaged.\n"
           "Exit status: 0 the complete image is at IMAGE; 1 the run failed and IMAGE is untouched;\n"
           "2 usage error, nothing written; 128+N stopped by signal N, IMAGE untouched.\n";
}

std::variant<std::optional<time_t>, UsageError> sourceDateEpoch(const char* value)
{
    if (!value || *value == '\0')
        return std::nullopt;
    time_t seconds = 0;
    for (const char* digit = value; *digit != '\0'; ++digit) {
        if (*digit < '0' || *digit > '9' || seconds > (std::numeric_limits<time_t>::max() - 9) / 10)
            return error(std::string("SOURCE_DATE_EPOCH \"") + value + "\" is not a count of seconds since 1970");
        seconds = seconds * 10 + (*digit - '0');
    }
    return seconds;
}

Command parseCommandLine(const std::vector<std::string>& args)
{
    if (args.empty())
        return error("missing verb");
    if (isHelp(args[0]))
        return ShowHelp {};
    if (args[0] != "makehybrid")
        return error("unknown verb '" + args[0] + "'");

    MakeHybrid result;
    bool iso = false;
    bool sawImage = false;
    std::optional<std::string> source;
    bool onlyPositional = false;

    auto takeSource = [&](const std::string& arg) -> std::optional<UsageError> {
        if (source)
            return error("more than one SOURCE ('" + *source + "', '" + arg + "')");
        source = arg;
        return std::nullopt;
    };

    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyPositional || arg.empty() || arg[0] != '-' || arg == "-") {
            if (auto failure = takeSource(arg))
                return *failure;
            continue;
        }
        if (arg == "--") {
            onlyPositional = true;
            continue;
        }
        if (isHelp(arg))
            return ShowHelp {};
        if (arg == "-iso") {
            iso = true;
        } else if (arg == "-joliet") {
            result.joliet = true;
        } else if (arg == "-ov") {
            result.replace = true;
        } else if (arg == "-quiet") {
            result.quiet = true;
        } else if (arg == "-item") {
            result.item = true;
        } else if (arg == "-o" || arg == "-default-volume-name" || arg == "-iso-volume-name"
            || arg == "-joliet-volume-name") {
            if (i + 1 >= args.size())
                return error("option " + arg + " needs a value");
            const std::string& value = args[++i];
            if (value.empty())
                return error("option " + arg + " needs a non-empty value");
            if (arg == "-o") {
                if (sawImage)
                    return error("option -o given more than once");
                sawImage = true;
                result.image = value;
            } else if (arg == "-default-volume-name") {
                result.defaultVolumeName = value;
            } else if (arg == "-iso-volume-name") {
                result.isoVolumeName = value;
            } else {
                result.jolietVolumeName = value;
            }
        } else {
            return error("unknown option '" + arg + "'");
        }
    }

    if (!sawImage)
        return error("missing -o IMAGE");
    if (result.image.back() == '/')
        return error("IMAGE must name a file, not a folder");
    if (!source || source->empty())
        return error("missing SOURCE");
    if (!iso)
        return error("-iso is required");
    result.source = *source;
    return result;
}

} // namespace hdiutil
