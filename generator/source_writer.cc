#include "generator/source_writer.h"

#include <string_view>

#include "generator/banner.h"

namespace morvcfg {
namespace {

void write_array(TextWriter& out, const AddressArray& array) {
    out.write("unsigned char ");
    out.write(array.name);
    out.write("[] = {");
    for (std::size_t i = 0; i < array.value.size(); ++i) {
        if (i > 0) {
            out.write(",");
        }
        out.write_unsigned(array.value[i]);
    }
    out.write("};\n");
}

void write_stamp(TextWriter& out, const LocalTime& now) {
    out.write("char BuildNumber[] = {\"");
    out.write_padded(now.year, 4);
    for (const int part : {now.month, now.day, now.hour, now.minute, now.second}) {
        out.write_padded(part, 2);
    }
    out.write("\"};\n");
}

}  // namespace

std::array<AddressArray, 11> source_arrays(const NetConfig& config, const Address& network) {
    // The gateway comes before the name server here, although the record keeps them the other way.
    return {{
        {"ThisIs", config.ThisIs},
        {"SubNetMask", config.SubNetMask},
        {"NetWorkAddress", network},
        {"LocalHost", config.LocalHost},
        {"GateWay", config.GateWay},
        {"DomainNameServer", config.DomainNameServer},
        {"BroadCast", config.BroadCast},
        {"SubNetBroadCast", config.SubNetBroadCast},
        {"NTPServer", config.NTPServer},
        {"SMTPServer", config.SMTPServer},
        {"POP3Server", config.POP3Server},
    }};
}

void write_source(TextWriter& out, const NetConfig& config, const Address& network, const Clock& clock) {
    write_opening_banner(out, kSourceTitle);
    for (const AddressArray& array : source_arrays(config, network)) {
        write_array(out, array);
    }
    write_stamp(out, clock());
    write_closing_banner(out);
}

}  // namespace morvcfg
