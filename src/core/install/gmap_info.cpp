#include "gmap_info.hpp"

#include <charconv>

namespace velmor {

namespace {

// Only what would break the markup is escaped, as mkgmap does.
std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

void element(std::string& out, const char* tag, const std::string& value) {
  out += std::string(" <") + tag + ">" + escaped(value) + "</" + tag + ">\n";
}

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x110000) {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    const std::size_t end = text.find(';', i);
    if (end == std::string::npos) {
      out += text.substr(i);
      break;
    }
    const std::string entity = text.substr(i + 1, end - i - 1);
    if (entity == "amp") out += '&';
    else if (entity == "lt") out += '<';
    else if (entity == "gt") out += '>';
    else if (entity == "quot") out += '"';
    else if (entity == "apos") out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      const bool hex = entity[1] == 'x' || entity[1] == 'X';
      std::uint32_t cp = 0;
      const char* from = entity.data() + (hex ? 2 : 1);
      std::from_chars(from, entity.data() + entity.size(), cp, hex ? 16 : 10);
      appendUtf8(out, cp);
    } else {
      out += "&" + entity + ";";
    }
    i = end;
  }
  return out;
}

std::uint16_t number(const std::string& text) {
  unsigned value = 0;
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return 0;
  std::from_chars(text.data() + start, text.data() + text.size(), value);
  return static_cast<std::uint16_t>(value);
}

// The local name of a tag: "gm:Name" and "Name" are the same element.
std::string localName(const std::string& tag) {
  const std::size_t colon = tag.find(':');
  return colon == std::string::npos ? tag : tag.substr(colon + 1);
}

}  // namespace

std::string infoXmlText(const GmapInfo& info) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += std::string("<MapProduct xmlns=\"") + kMapProductNamespace + "\">\n";
  element(out, "Name", info.name);
  element(out, "DataVersion", std::to_string(info.dataVersion));
  element(out, "DataFormat", "Original");
  element(out, "ID", std::to_string(info.id));
  if (!info.idx.empty()) element(out, "IDX", info.idx);
  if (!info.mdr.empty()) element(out, "MDR", info.mdr);
  if (!info.typ.empty()) element(out, "TYP", info.typ);
  for (const GmapSubProduct& sub : info.subProducts) {
    out += "<SubProduct>\n";
    element(out, "Name", sub.name);
    element(out, "ID", std::to_string(sub.id));
    element(out, "BaseMap", sub.baseMap);
    element(out, "TDB", sub.tdb);
    element(out, "Directory", sub.directory);
    out += "</SubProduct>\n";
  }
  out += "</MapProduct>";
  return out;
}

std::optional<GmapInfo> parseInfoXml(const std::string& text) {
  GmapInfo info;
  std::vector<std::string> open;  // the elements we are inside, by local name
  bool sawRoot = false;
  std::string content;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t lt = text.find('<', at);
    if (lt == std::string::npos) break;
    content += text.substr(at, lt - at);
    if (text.compare(lt, 4, "<!--") == 0) {
      const std::size_t end = text.find("-->", lt);
      if (end == std::string::npos) return std::nullopt;
      at = end + 3;
      continue;
    }
    const std::size_t gt = text.find('>', lt);
    if (gt == std::string::npos) return std::nullopt;
    std::string tag = text.substr(lt + 1, gt - lt - 1);
    at = gt + 1;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;
    const bool closing = tag[0] == '/';
    const bool selfClosing = tag.back() == '/';
    const std::string name =
        localName(tag.substr(closing ? 1 : 0, tag.find_first_of(" \t\r\n/", 1) - (closing ? 1 : 0)));
    if (!closing) {
      if (open.empty()) {
        if (name != "MapProduct") return std::nullopt;
        sawRoot = true;
      }
      if (open.size() == 1 && name == "SubProduct") info.subProducts.emplace_back();
      if (!selfClosing) open.push_back(name);
      content.clear();
      continue;
    }
    if (open.empty() || open.back() != name) return std::nullopt;
    const std::string value = unescaped(content);
    content.clear();
    if (open.size() == 2) {
      if (name == "Name") info.name = value;
      else if (name == "DataVersion") info.dataVersion = number(value);
      else if (name == "ID") info.id = number(value);
      else if (name == "IDX") info.idx = value;
      else if (name == "MDR") info.mdr = value;
      else if (name == "TYP") info.typ = value;
    } else if (open.size() == 3 && open[1] == "SubProduct" && !info.subProducts.empty()) {
      GmapSubProduct& sub = info.subProducts.back();
      if (name == "Name") sub.name = value;
      else if (name == "ID") sub.id = number(value);
      else if (name == "BaseMap") sub.baseMap = value;
      else if (name == "TDB") sub.tdb = value;
      else if (name == "Directory") sub.directory = value;
    }
    open.pop_back();
  }
  if (!sawRoot) return std::nullopt;
  return info;
}

}  // namespace velmor
