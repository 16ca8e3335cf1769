#pragma once

#include "checker/fixes/rewrite.h"

namespace morvcfg {

// The steps of rewriting a file in place on the real file system, as --fix takes them.
class SystemFileRewriter final : public FileRewriter {
public:
    std::string link_target(const std::string& path) override;
    bool replaceable(const std::string& path, std::string& why) override;
    std::unique_ptr<ByteSink> create_beside(const std::string& path, std::string& created, std::string& why) override;
    bool copy_attributes(const std::string& from, const std::string& to, std::string& why) override;
    std::uint64_t link_count(const std::string& path) override;
    bool overwrite(const std::string& path, std::string_view bytes, std::string& why) override;
    bool move_over(const std::string& from, const std::string& to, std::string& why) override;
    bool remove(const std::string& path) override;
};

}  // namespace morvcfg
