// The system's steps of rewriting a file in place, on the real file system, each made to fail in
// turn: the file stays as it was, and nothing is left beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "checker/fixes/rewrite.h"
#include "system/system_environment.h"

namespace morvcfg {
namespace {

// The real file system, with one step of an in-place rewrite made to fail.
class FaultyFiles final : public SystemEnvironment {
public:
    enum class Step { None, Create, Permissions, Write, Sync, Close, Move };
    explicit FaultyFiles(Step failing) : failing_(failing) {}

    std::unique_ptr<ByteSink> create_beside(const std::string& path, std::string& created, std::string& why) override {
        if (failing_ == Step::Create) {
            why = "No space left on device";
            return nullptr;
        }
        return std::make_unique<Sink>(SystemEnvironment::create_beside(path, created, why), failing_);
    }
    bool copy_attributes(const std::string& from, const std::string& to, std::string& why) override {
        if (failing_ == Step::Permissions) {
            why = "Operation not permitted";
            return false;
        }
        return SystemEnvironment::copy_attributes(from, to, why);
    }
    bool move_over(const std::string& from, const std::string& to, std::string& why) override {
        if (failing_ == Step::Move) {
            why = "Device or resource busy";
            return false;
        }
        return SystemEnvironment::move_over(from, to, why);
    }

private:
    // Writes to the real file, and fails where it is told to, having written half the bytes.
    class Sink final : public ByteSink {
    public:
        Sink(std::unique_ptr<ByteSink> inner, Step failing) : inner_(std::move(inner)), failing_(failing) {}
        bool write(std::string_view bytes) override {
            if (failing_ == Step::Write) {
                (void)inner_->write(bytes.substr(0, bytes.size() / 2));
                return false;
            }
            return inner_->write(bytes);
        }
        bool sync() override { return inner_->sync() && failing_ != Step::Sync; }
        bool close() override { return inner_->close() && failing_ != Step::Close; }

    private:
        std::unique_ptr<ByteSink> inner_;
        Step failing_;
    };

    Step failing_;
};

TEST(FixTest, AFailedRewriteLeavesTheFileAsItWas) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("morvcfg-fix-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const std::string path = (dir / "board.cfg").string();
    const std::string original = "  MORV_DNS(10.0.0.2);\r\nrest\r\n";
    const std::string fixed = "MORV_DNS(10.0.0.2);\r\nrest\r\n";
    using Step = FaultyFiles::Step;
    const struct {
        Step failing;
        std::string written;  // what board.cfg holds when the rewrite is asked for
        bool done;
        std::string why;
    } cases[] = {
        {Step::None, original, true, ""},
        {Step::Create, original, false, "cannot create a file beside it: No space left on device"},
        // EPERM from chmod: a file system that keeps no permission bits, or a file of another user's.
        {Step::Permissions, original, false,
         "cannot give the fixed file the permission bits of the original: Operation not permitted"},
        {Step::Write, original, false, "cannot write the fixed file"},
        {Step::Sync, original, false, "cannot flush the fixed file to disk"},
        {Step::Close, original, false, "cannot close the fixed file"},
        {Step::Move, original, false, "cannot replace the file: Device or resource busy"},
        {Step::None, "edited meanwhile\n", false, "the file changed since it was read; run again"},
    };
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.written;
        FaultyFiles files(c.failing);
        std::string why;
        EXPECT_EQ(rewrite_in_place(files, path, original, fixed, why), c.done) << c.why;
        EXPECT_EQ(why, c.why);
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.done ? fixed : c.written) << c.why;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << c.why;
    }
    fs::remove_all(dir);
}

// The original's attributes that cannot be read are a failure of the step, which the rewrite
// then refuses (above), never a file left with the new file's own bits.
TEST(FixTest, AttributesThatCannotBeReadFailTheStep) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("morvcfg-attributes-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const std::string created = (dir / "new.cfg").string();
    std::ofstream(created, std::ios::binary) << "x";
    const auto before = fs::status(created).permissions();
    SystemEnvironment steps;
    std::string why;
    EXPECT_FALSE(steps.copy_attributes((dir / "gone.cfg").string(), created, why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_EQ(fs::status(created).permissions(), before);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace morvcfg
