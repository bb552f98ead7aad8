// SPDX-License-Identifier: GPL-3.0-or-later
#include "MakeHybrid.h"

#include "ImageFile.h"
#include "LibIsofs.h"
#include "Progress.h"
#include "RunFailure.h"
#include "RunOutcome.h"
#include "SourceTree.h"
#include "VolumeDescriptors.h"
#include "VolumeNames.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace hdiutil {

namespace {

constexpr size_t writeBlock = 4 << 20;
// Ring buffer between the libisofs writer thread and us, in 2 KiB blocks (8 MiB): room for the writer to go on
// while a batch is written.
constexpr size_t fifoBlocks = 4096;

char queueSeverity[] = "SORRY";
char printSeverity[] = "NEVER";
char noPrefix[] = "";
char utf8[] = "UTF-8";

void checked(int result, const char* what)
{
    if (result < 0)
        throw RunFailure(isofsError(what, result));
}

// libisofs' own account of why its writer stopped, if it left one.
RunFailure writerFailure()
{
    if (auto noted = notedFailure())
        return *noted;
    int code = 0;
    int imageId = 0;
    char text[ISO_MSGS_MESSAGE_LEN] = {};
    char severity[80] = {};
    if (iso_obtain_msgs(queueSeverity, &code, &imageId, text, severity) > 0 && text[0] != '\0')
        return RunFailure(std::string("image writer stopped: ") + text);
    return RunFailure("image writer stopped early");
}

struct ImageDeleter {
    void operator()(IsoImage* image) const { iso_image_unref(image); }
};
struct OptsDeleter {
    void operator()(IsoWriteOpts* opts) const { iso_write_opts_free(opts); }
};
struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
struct SourceDeleter {
    void operator()(burn_source* source) const
    {
        source->free_data(source);
        std::free(source);
    }
};

std::unique_ptr<IsoWriteOpts, OptsDeleter> writeOptions(bool joliet, std::optional<time_t> sourceDateEpoch)
{
    IsoWriteOpts* raw = nullptr;
    checked(iso_write_opts_new(&raw, 0), "cannot set up the image");
    std::unique_ptr<IsoWriteOpts, OptsDeleter> opts(raw);
    // Level 3 stores files of 4 GiB and more whole, in several extents.
    iso_write_opts_set_iso_level(raw, 3);
    iso_write_opts_set_rockridge(raw, 1);
    // Keep folders deeper than 8 levels where they are. Relocating them is what the old rules ask for, but
    // readers disagree on relocated folders (libarchive rejects them at the root, pycdlib lists them twice).
    iso_write_opts_set_allow_deep_paths(raw, 1);
    iso_write_opts_set_allow_longer_paths(raw, 1);
    iso_write_opts_set_joliet(raw, joliet ? 1 : 0);
    iso_write_opts_set_joliet_long_names(raw, 1);
    iso_write_opts_set_joliet_longer_paths(raw, 1);
    // UCS-2 alone would turn characters outside the BMP, such as emoji, into '_'.
    iso_write_opts_set_joliet_utf16(raw, 1);
    // Joliet names as the user wrote them: no ";1" and no dot forced onto names without one.
    iso_write_opts_set_omit_version_numbers(raw, 2);
    iso_write_opts_set_no_force_dots(raw, 2);
    iso_write_opts_set_dir_rec_mtime(raw, 7);
    iso_write_opts_set_fifo_size(raw, fifoBlocks);
    // In the order the source files are read ahead in.
    iso_write_opts_set_sort_files(raw, 1);
    // UTC, offset 0: every reader reads that right, and every zone's offset, however odd, is expressed.
    iso_write_opts_set_always_gmt(raw, 1);
    if (sourceDateEpoch) {
        // As digits with no zone, so the volume's times are the same bytes whatever the zone.
        const time_t epoch = *sourceDateEpoch;
        tm utc {};
        char digits[32] = {};
        if (!::gmtime_r(&epoch, &utc) || std::strftime(digits, sizeof digits, "%Y%m%d%H%M%S00", &utc) != 16)
            throw RunFailure("SOURCE_DATE_EPOCH is past what an image can record");
        checked(iso_write_opts_set_pvd_times(raw, epoch, epoch, 0, 0, digits), "cannot set up the image");
    }
    return opts;
}

std::string volumeName(
    const MakeHybrid& command, const std::string& itemName, const std::optional<std::string>& specific)
{
    if (specific)
        return *specific;
    if (command.defaultVolumeName)
        return *command.defaultVolumeName;
    // An item is named as the folder it would be put in to image it: by its name without an extension.
    const std::string last = command.item ? withoutExtension(itemName) : lastPathElement(command.source);
    return last.empty() ? "untitled" : last;
}

// libisofs hands over its output 2 KiB at a time, waking a reader that waits for more at every piece: the
// reader waits here instead, until a whole batch is ready or the writer has stopped.
void awaitBatch(burn_source* source, size_t want)
{
    for (;;) {
        size_t size = 0;
        size_t freeBytes = 0;
        if (iso_ring_buffer_get_status(source, &size, &freeBytes) != 1 || size - freeBytes >= std::min(want, size / 2))
            return;
        const timespec pause { 0, 1'000'000 };
        ::nanosleep(&pause, nullptr);
    }
}

void streamImage(burn_source* source, ImageFile& out, const MakeHybrid& command, const std::u16string& jolietId)
{
    const off_t total = source->get_size(source);
    if (total <= 0)
        throw RunFailure("libisofs reported an empty image");
    out.reserve(static_cast<uint64_t>(total));
    std::unique_ptr<unsigned char, FreeDeleter> buffer(
        static_cast<unsigned char*>(std::aligned_alloc(ImageFile::directAlignment, writeBlock)));
    if (!buffer)
        throw RunFailure("out of memory");
    ProgressLines progress(static_cast<uint64_t>(total), command.quiet);
    off_t done = 0;
    while (done < total) {
        // Asking for more than remains makes libisofs drop the tail.
        const auto want = static_cast<int>(std::min<off_t>(writeBlock, total - done));
        awaitBatch(source, static_cast<size_t>(want));
        const int got = source->read_xt(source, buffer.get(), want);
        if (got != want || notedFailure())
            throw writerFailure();
        if (done == 0 && command.joliet && !setJolietVolumeId(buffer.get(), static_cast<size_t>(got), jolietId))
            throw RunFailure("libisofs wrote no Joliet volume descriptor");
        out.write(buffer.get(), static_cast<size_t>(got));
        done += got;
        progress.update(static_cast<uint64_t>(done));
    }
    size_t bufferSize = 0;
    size_t freeBytes = 0;
    const int status = iso_ring_buffer_get_status(source, &bufferSize, &freeBytes);
    if (status == 3 || status == 7 || notedFailure())
        throw writerFailure();
}

} // namespace

void makeHybrid(const MakeHybrid& command, const std::string& itemName)
{
    // Not by the environment's locale: under some (Turkish) "i" would be upper-cased to a letter ISO 9660 has not.
    checked(iso_init_with_flag(1), "cannot start libisofs");
    // Messages are collected for the failure line; libisofs must not print its own.
    iso_set_msgs_severities(queueSeverity, printSeverity, noPrefix);
    // A file libisofs cannot read is a SORRY; it must stop the writer rather than become zeros.
    iso_set_abort_severity(queueSeverity);
    // Names are UTF-8 whatever the locale, or non-ASCII names would be mangled under "C".
    iso_set_local_charset(utf8, 0);

    ImageFile out(command.image, command.replace);

    const std::string isoId = isoVolumeId(volumeName(command, itemName, command.isoVolumeName));
    const std::u16string jolietId = jolietVolumeId(volumeName(command, itemName, command.jolietVolumeName));

    // Before the image: its streams read through it until the image is gone.
    const SourceRoot root = sourceRoot(command.source, command.item);
    SourceFiles files(root.folder, root.fileName);
    if (command.sourceDateEpoch) {
        time_t now = *command.sourceDateEpoch;
        iso_nowtime(&now, 1);
    }
    IsoImage* rawImage = nullptr;
    checked(iso_image_new(isoId.c_str(), &rawImage), "cannot set up the image");
    std::unique_ptr<IsoImage, ImageDeleter> image(rawImage);
    iso_image_set_volume_id(rawImage, isoId.c_str());

    // IMAGE may lie inside SOURCE; an image of its own partial self would never be faithful.
    WalkRules rules { .leaveOut = [&out](const struct stat& st, const struct stat& folder, std::string_view name) {
        return out.isOwnFile(st, folder, name);
    } };
    if (command.sourceDateEpoch)
        rules.latestTime = *command.sourceDateEpoch;
    if (command.item)
        addSourceItem(rawImage, files, command.source, itemName, rules);
    else
        addSourceTree(rawImage, files, command.source, rules);

    const auto opts = writeOptions(command.joliet, command.sourceDateEpoch);
    burn_source* rawSource = nullptr;
    checked(iso_image_create_burn_source(rawImage, opts.get(), &rawSource), "cannot start the image writer");
    {
        std::unique_ptr<burn_source, SourceDeleter> source(rawSource);
        streamImage(rawSource, out, command, jolietId);
    }
    out.publish();
    image.reset();
    iso_finish();
}

} // namespace hdiutil
