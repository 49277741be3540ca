#pragma once

// A FITS header written as the XML an observatory's archive puts into a JPEG 2000 file.

#include <functional>
#include <map>
#include <string>

namespace zorva::test {

inline std::string XmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '&') {
            out += "&amp;";
        } else {
            out += c;
        }
    }
    return out;
}

// A FITS header as an archive writes it into the XML box: <meta><fits><KEY>value</KEY>...
inline std::string FitsHeaderXml(const std::map<std::string, std::string, std::less<>>& keywords) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<meta><fits>\n";
    for (const auto& [key, value] : keywords)
        xml += "<" + key + ">" + XmlEscaped(value) + "</" + key + ">\n";
    return xml + "</fits><helioviewer><HV_ZERO_MIN>1</HV_ZERO_MIN></helioviewer></meta>";
}

} // namespace zorva::test
