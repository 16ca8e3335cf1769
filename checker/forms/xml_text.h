#pragma once

// Text for the XML forms (JUnit, Checkstyle): any bytes, escaped so that the document stays
// well-formed XML 1.0 in UTF-8.
#include <string>
#include <string_view>

namespace morvcfg {

// `bytes` as the content of an attribute in double quotes, or of an element: the five characters
// XML reserves as entities, tab and the line ends as character references (which an attribute
// keeps), and every byte XML 1.0 cannot hold (other control characters, bytes that are not
// well-formed UTF-8, U+FFFE and U+FFFF) as the four characters \xNN, the form messages already use
// for control bytes.
std::string xml_text(std::string_view bytes);

// The declaration every XML form starts with.
inline constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

}  // namespace morvcfg
