#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "checker/analysis/findings.h"
#include "checker/analysis/messages.h"
#include "generator/net_config.h"
#include "translator/directive_table.h"

namespace morvcfg {

// What the whole file does: the record as its directives leave it, where each setting was last
// given (so that a later directive is seen overriding it), the defines in order, and what the
// derivation and the receive sizes make of the settings at the end.
class FileAnalysis {
public:
    explicit FileAnalysis(FindingList& findings) : findings_(findings) {}

    // The record the translator's parsers write into.
    NetConfig& record() { return config_; }

    // The directive at `offset`, `keyword`, has set an address field (an index into
    // kAddressFields); it held `before`.
    // `given` and `note`: the operand as written and why the field is not simply that, when only
    // part of it was read.
    void address_set(std::size_t field, std::uint64_t offset, std::string_view keyword, const Address& before,
                     std::string given = {}, std::string note = {});
    // The same for a memory-pool class.
    void pool_set(std::size_t pool, std::uint64_t offset, std::string_view keyword, const MemoryPool& before);
    // An ordinary line at `offset` looks like the directive `row` (indented, or not in upper case):
    // should the address that directive sets keep its default, the warnings about it point here.
    void lookalike_seen(const Directive& row, std::uint64_t offset);
    // A directive line begins at `offset`, its text ending at `end`; the settings below are its.
    void directive_seen(std::uint64_t offset, std::uint64_t end, const Directive& row) {
        directives_.push_back({offset, end, &row, {}});
    }
    // A define was written to the pass-through output; its name stands at `offset` in the file.
    void define_written(const std::string& name, const std::string& value, std::uint64_t offset);

    // note [values the firmware gets]: a message that names a setting's value as what the firmware
    // gets ("GateWay is 10.9.9.1", "ETH0_SMALL_BLOCKS keeps 0") names it as the line at `offset`
    // leaves it; the mark these return, placed right after the value, is replaced by finish() with
    // what becomes of it later: ", written as 10.1.2.1" where the derivation moves it, " until line
    // 7 sets it again" where a later directive does, or nothing.
    [[nodiscard]] static std::string claim_address(std::size_t field, std::uint64_t offset);
    [[nodiscard]] static std::string claim_pool(std::size_t pool, std::uint64_t offset);
    // The same for the value an override gives a field, which the next override tells of: only
    // the derivation's move is told.
    [[nodiscard]] static std::string claim_derived(std::size_t field, std::uint64_t offset);

    // After the last directive: the derivation and receive sizes are checked, every message's
    // values are told as the firmware gets them, and the result gets the record as written, the
    // network address and the defines. The result's line feeds are set.
    void finish(CheckResult& result);

private:
    // Where a setting was last given by a directive.
    struct Origin {
        bool set = false;
        std::uint64_t offset = 0;
        std::string_view keyword;
    };

    void note_setting(Origin& origin, std::uint64_t offset, std::string_view keyword, std::string_view setting,
                      std::string_view old_value, std::string_view new_value);
    // The directive that set this host's subnet last (its address or its mask).
    [[nodiscard]] const Origin& subnet_origin() const;
    void check_derivation(const NetConfig& derived, const Address& network);
    void check_impossible_addresses(const NetConfig& derived, const Address& network);
    void check_pools();
    // `text` with each mark of claim_address() and claim_pool() replaced (note [values the firmware
    // gets]).
    [[nodiscard]] std::string told(std::string_view text, const NetConfig& derived, const CheckResult& result) const;

    FindingList& findings_;
    NetConfig config_;
    std::array<Origin, kAddressFields.size()> address_origins_{};
    std::array<Origin, kPoolClassCount> pool_origins_{};
    // Every directive line that set each address field and each pool, in file order.
    std::array<std::vector<std::uint64_t>, kAddressFields.size()> address_setters_{};
    std::array<std::vector<std::uint64_t>, kPoolClassCount> pool_setters_{};
    // The first lookalike of a directive that sets each address field.
    std::array<Origin, kAddressFields.size()> address_lookalikes_{};
    std::map<std::string, std::uint64_t, std::less<>> define_origins_;
    std::vector<std::pair<std::string, std::string>> defines_;
    std::vector<DirectiveLine> directives_;
};

}  // namespace morvcfg
