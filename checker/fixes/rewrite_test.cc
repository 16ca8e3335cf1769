// Rewriting a file in place, step by step, on memory files: each way a step can fail leaves the
// file as it was and nothing beside it, and says why.
#include "checker/fixes/rewrite.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "translator/memory_environment.h"

namespace morvcfg {
namespace {

// Memory files whose file has `names` names (hard links), and whose overwrites fail once they
// have failed `overwrite_failures` times, the first one leaving the file cut short.
class LinkedFiles final : public MemoryEnvironment {
public:
    LinkedFiles(std::uint64_t names, int overwrite_failures) : names_(names), failures_(overwrite_failures) {}

    std::uint64_t link_count(const std::string& /*path*/) override { return names_; }
    bool overwrite(const std::string& path, std::string_view bytes, std::string& why) override {
        if (failures_ > 0) {
            --failures_;
            files[path] = bytes.substr(0, bytes.size() / 2);
            why = "No space left on device";
            return false;
        }
        return MemoryEnvironment::overwrite(path, bytes, why);
    }
    bool move_over(const std::string& from, const std::string& to, std::string& why) override {
        moved_ = true;
        return MemoryEnvironment::move_over(from, to, why);
    }

    bool moved_ = false;

private:
    std::uint64_t names_;
    int failures_;
};

TEST(RewriteTest, AFileWithOtherNamesIsRewrittenWhereItIs) {
    const std::string original = "  MORV_DNS(10.0.0.2);\n";
    const std::string fixed = "MORV_DNS(10.0.0.2);\n";
    const struct {
        const char* name;
        std::uint64_t names;
        int overwrite_failures;
        bool done;
        std::map<std::string, std::string> after;
        std::string why;
    } cases[] = {
        {"one name: moved over", 1, 0, true, {{"b.cfg", fixed}}, ""},
        {"two names: rewritten in place", 2, 0, true, {{"b.cfg", fixed}}, ""},
        {"the rewrite fails, and the original is put back",
         2,
         1,
         false,
         {{"b.cfg", original}},
         "cannot rewrite the file, which has other names, in place: No space left on device"},
        {"nor can the original be put back: the fixed text stays beside it",
         2,
         2,
         false,
         {{"b.cfg", original.substr(0, original.size() / 2)}, {"b.cfg.new", fixed}},
         "cannot rewrite the file, which has other names, in place: No space left on device; it may be cut short, "
         "and its fixed text is in b.cfg.new"},
    };
    for (const auto& c : cases) {
        LinkedFiles files(c.names, c.overwrite_failures);
        files.files["b.cfg"] = original;
        std::string why;
        EXPECT_EQ(rewrite_in_place(files, "b.cfg", original, fixed, why), c.done) << c.name;
        EXPECT_EQ(why, c.why) << c.name;
        EXPECT_EQ(files.files, c.after) << c.name;
        EXPECT_EQ(files.moved_, c.names == 1) << c.name;
    }
}

TEST(RewriteTest, RefusesWhatItCannotRewriteSafely) {
    const std::string original = "  MORV_DNS(10.0.0.2);\n";
    const struct {
        const char* name;
        std::map<std::string, std::string> files;
        std::string why;
    } cases[] = {
        {"gone", {}, "No such file or directory"},
        {"changed since it was read",
         {{"b.cfg", "edited meanwhile\n"}},
         "the file changed since it was read; run again"},
        {"the name beside it taken",
         {{"b.cfg", original}, {"b.cfg.new", "someone's\n"}},
         "cannot create a file beside it: File exists"},
    };
    for (const auto& c : cases) {
        MemoryEnvironment files;
        files.files = c.files;
        std::string why;
        EXPECT_FALSE(rewrite_in_place(files, "b.cfg", original, "MORV_DNS(10.0.0.2);\n", why)) << c.name;
        EXPECT_EQ(why, c.why) << c.name;
        EXPECT_EQ(files.files, c.files) << c.name;
    }
}

}  // namespace
}  // namespace morvcfg
