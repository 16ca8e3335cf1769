#include "checker/fixes/rewrite.h"

namespace morvcfg {

bool read_whole_file(Environment& files, const std::string& path, std::string& bytes, std::string& why) {
    const std::unique_ptr<ByteSource> source = files.open(path, why);
    if (!source) {
        return false;
    }
    bytes.clear();
    char buffer[65536];
    std::ptrdiff_t count = 0;
    while ((count = source->read(buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    if (count < 0) {
        why = "the file could not be read";
        return false;
    }
    if (!source->close()) {
        why = "the file could not be closed";
        return false;
    }
    return true;
}

bool rewrite_in_place(Environment& files, const std::string& path, std::string_view original, std::string_view fixed,
                      std::string& why) {
    const std::string target = files.link_target(path);
    if (!files.replaceable(target, why)) {
        return false;
    }
    std::string created;
    const std::unique_ptr<ByteSink> sink = files.create_beside(target, created, why);
    if (!sink) {
        why = "cannot create a file beside it: " + why;
        return false;
    }
    // Whatever fails from here on, the new file goes and the original stays.
    const auto give_up = [&](std::string reason) {
        (void)sink->close();
        (void)files.remove(created);
        why = std::move(reason);
        return false;
    };
    if (!files.copy_attributes(target, created, why)) {
        return give_up("cannot give the fixed file the permission bits of the original: " + why);
    }
    if (!sink->write(fixed)) {
        return give_up("cannot write the fixed file");
    }
    if (!sink->sync()) {
        return give_up("cannot flush the fixed file to disk");
    }
    if (!sink->close()) {
        return give_up("cannot close the fixed file");
    }
    std::string now;
    std::string read_why;
    if (!read_whole_file(files, target, now, read_why) || now != original) {
        (void)files.remove(created);
        why = "the file changed since it was read; run again";
        return false;
    }
    if (files.link_count(target) > 1) {
        // A file with other names is rewritten where it is, so that it stays one file under all of
        // them; until that is done, the complete new text waits beside it.
        if (!files.overwrite(target, fixed, why)) {
            why = "cannot rewrite the file, which has other names, in place: " + why;
            std::string restore_why;
            if (files.overwrite(target, original, restore_why)) {
                (void)files.remove(created);
            } else {
                why += "; it may be cut short, and its fixed text is in " + created;
            }
            return false;
        }
        (void)files.remove(created);
        return true;
    }
    if (!files.move_over(created, target, why)) {
        (void)files.remove(created);
        why = "cannot replace the file: " + why;
        return false;
    }
    return true;
}

}  // namespace morvcfg
