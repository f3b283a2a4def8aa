#include "base/ObjectXml.h"

#include <pugixml.hpp>

#include <climits>

#include "base/Format.h"

namespace vc::base {

namespace {

const char* formatName(TPropFormat format) {
  switch (format) {
    case TPropFormat::Attr: return "attr";
    default: return "node";
  }
}

// ---- writing -------------------------------------------------------------------------------

void putValue(pugi::xml_node element, TPropFormat format, const std::string& name, const std::string& text) {
  if (format == TPropFormat::Attr)
    element.append_attribute(name.c_str()).set_value(text.c_str());
  else
    element.append_child(name.c_str()).text().set(text.c_str());
}

bool isEmptyElement(pugi::xml_node element, TPropFormat format) {
  return format == TPropFormat::Attr ? !element.first_attribute() : !element.first_child();
}

void writeProperties(const TPersistent& object, pugi::xml_node element, TPropFormat format);

void writeProperty(const TPersistent& object, const TPropInfo& p, pugi::xml_node element, TPropFormat format) {
  // Writers only read; the accessors for owned objects are shared with the reader.
  auto& mutableObject = const_cast<TPersistent&>(object);
  switch (p.Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enumeration: {
      const int64_t value = p.GetOrd(object);
      if (p.Default && *p.Default == value) return;
      std::string text;
      if (p.Kind == TPropKind::Boolean)
        text = value ? "1" : "0";
      else if (p.Kind == TPropKind::Enumeration && value >= 0 && value < static_cast<int64_t>(p.EnumNames.size()))
        text = p.EnumNames[static_cast<size_t>(value)];
      else
        text = std::to_string(value);
      putValue(element, format, p.Name, text);
      return;
    }
    case TPropKind::Int64: {
      const int64_t value = p.GetOrd(object);
      if (value != 0) putValue(element, format, p.Name, std::to_string(value));
      return;
    }
    case TPropKind::Single:
    case TPropKind::Double: {
      const double value = p.GetFloat(object);
      if (value != 0) putValue(element, format, p.Name, FloatText15(value));
      return;
    }
    case TPropKind::String: {
      const std::string value = p.GetStr(object);
      if (!value.empty()) putValue(element, format, p.Name, value);
      return;
    }
    case TPropKind::Object: {
      pugi::xml_node child = element.append_child(p.Name.c_str());
      writeProperties(*p.GetObject(mutableObject), child, format);
      if (isEmptyElement(child, format)) element.remove_child(child);
      return;
    }
    case TPropKind::StringList: {
      const TStrings& list = *p.GetList(mutableObject);
      pugi::xml_node child = element.append_child(p.Name.c_str());
      child.append_attribute("Count").set_value(list.Count());
      for (int i = 0; i < list.Count(); ++i)
        if (!list[i].empty()) putValue(child, format, "l" + std::to_string(i), list[i]);
      return;
    }
  }
}

void writeProperties(const TPersistent& object, pugi::xml_node element, TPropFormat format) {
  for (const auto& p : object.Properties())
    if (p.Stored) writeProperty(object, p, element, format);
}

void escapeInto(std::string& out, const char* text, bool attribute) {
  for (const char* c = text; *c; ++c) {
    switch (*c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += attribute ? "&quot;" : "\""; break;
      // Line ends and tabs are written as references so a parser cannot normalise them away.
      case '\r': out += "&#13;"; break;
      case '\n': out += attribute ? "&#10;" : "\n"; break;
      case '\t': out += attribute ? "&#9;" : "\t"; break;
      default: out += *c;
    }
  }
}

void serialise(pugi::xml_node node, int depth, bool indented, std::string& out) {
  if (indented && depth > 0) out += "\r\n" + std::string(static_cast<size_t>(depth) * 2, ' ');
  out += '<';
  out += node.name();
  for (auto a : node.attributes()) {
    out += ' ';
    out += a.name();
    out += "=\"";
    escapeInto(out, a.value(), true);
    out += '"';
  }
  pugi::xml_node first = node.first_child();
  if (!first) {
    out += indented ? " />" : "/>";
    return;
  }
  out += '>';
  if (first.type() == pugi::node_pcdata && !first.next_sibling()) {
    escapeInto(out, first.value(), false);
  } else {
    for (auto child : node.children())
      if (child.type() == pugi::node_element) serialise(child, depth + 1, indented, out);
    if (indented) out += "\r\n" + std::string(static_cast<size_t>(depth) * 2, ' ');
  }
  out += "</";
  out += node.name();
  out += '>';
}

// ---- reading -------------------------------------------------------------------------------

pugi::xml_node childElement(pugi::xml_node parent, const std::string& name) {
  for (auto child : parent.children())
    if (child.type() == pugi::node_element && SameText(child.name(), name)) return child;
  return {};
}

pugi::xml_attribute attribute(pugi::xml_node element, const std::string& name) {
  for (auto a : element.attributes())
    if (SameText(a.name(), name)) return a;
  return {};
}

// The value named name: present or not, and its text.
bool findValue(pugi::xml_node element, TPropFormat format, const std::string& name, std::string& text) {
  if (format == TPropFormat::Attr) {
    auto a = attribute(element, name);
    if (!a) return false;
    text = a.value();
    return true;
  }
  auto child = childElement(element, name);
  if (!child) return false;
  text = child.child_value();
  return true;
}

void readProperties(TPersistent& object, pugi::xml_node element, TPropFormat format);

void readList(TStrings& list, pugi::xml_node element, TPropFormat format) {
  list.Clear();
  if (!element) return;
  int32_t count = 0;
  if (!TryParseInt32(attribute(element, "Count").value(), count) || count < 0) count = 0;
  for (int i = 0; i < count; ++i) list.Add(std::string());
  std::string text;
  for (int i = 0; i < count; ++i)
    if (findValue(element, format, "l" + std::to_string(i), text)) list[i] = text;
}

void readProperty(TPersistent& object, const TPropInfo& p, pugi::xml_node element, TPropFormat format) {
  std::string text;
  switch (p.Kind) {
    case TPropKind::Integer: {
      if (!findValue(element, format, p.Name, text)) {
        // A property without a declared default keeps its value: the writer never omits it, and
        // a hand-edited file missing it must not leave a nonsense number behind.
        if (p.Default) p.SetOrd(object, *p.Default);
        return;
      }
      int32_t value = 0;
      if (!TryParseInt32(text, value)) throw EVelocastError(Format("Invalid integer value (%s).", text.c_str()));
      p.SetOrd(object, value);
      return;
    }
    case TPropKind::Boolean: {
      if (!findValue(element, format, p.Name, text)) {
        if (p.Default) p.SetOrd(object, *p.Default);
        return;
      }
      if (text == "1")
        p.SetOrd(object, 1);
      else if (text == "0")
        p.SetOrd(object, 0);
      else
        throw EVelocastError(Format("Invalid boolean value (%s).", text.c_str()));
      return;
    }
    case TPropKind::Enumeration: {
      if (!findValue(element, format, p.Name, text)) {
        if (p.Default) p.SetOrd(object, *p.Default);
        return;
      }
      for (size_t i = 0; i < p.EnumNames.size(); ++i)
        if (SameText(p.EnumNames[i], text)) {
          p.SetOrd(object, static_cast<int64_t>(i));
          return;
        }
      throw EVelocastError(Format("Invalid enumeration value (%s).", text.c_str()));
    }
    case TPropKind::Int64: {
      if (!findValue(element, format, p.Name, text)) return;
      int64_t value = 0;
      if (!TryParseInt64(text, value)) throw EVelocastError(Format("Invalid int64 value (%s).", text.c_str()));
      p.SetOrd(object, value);
      return;
    }
    case TPropKind::Single:
    case TPropKind::Double: {
      double value = 0;
      if (findValue(element, format, p.Name, text) && !TryParseDouble(text, value)) value = 0;
      p.SetFloat(object, value);
      return;
    }
    case TPropKind::String:
      p.SetStr(object, findValue(element, format, p.Name, text) ? text : std::string());
      return;
    case TPropKind::Object: {
      if (auto child = childElement(element, p.Name)) readProperties(*p.GetObject(object), child, format);
      return;
    }
    case TPropKind::StringList: {
      auto child = childElement(element, p.Name);
      if (p.SetList) {
        TStrings list;
        readList(list, child, format);
        p.SetList(object, list);
      } else {
        readList(*p.GetList(object), child, format);
      }
      return;
    }
  }
}

void readProperties(TPersistent& object, pugi::xml_node element, TPropFormat format) {
  for (const auto& p : object.Properties())
    if (p.Stored) readProperty(object, p, element, format);
}

}  // namespace

std::string WriteObjectXml(const TPersistent& object, TPropFormat format, TXmlLayout layout) {
  if (format == TPropFormat::Auto) format = TPropFormat::Node;
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("data");
  root.append_attribute("PropFormat").set_value(formatName(format));
  pugi::xml_node element = root.append_child(object.ClassName().c_str());
  writeProperties(object, element, format);
  if (isEmptyElement(element, format)) root.remove_child(element);
  std::string out;
  serialise(root, 0, layout.Indented, out);
  return out;
}

void ReadObjectXml(const std::string& text, TPersistent& object) {
  pugi::xml_document doc;
  // Keep a text value made only of blanks; blanks between elements still go.
  if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single)) return;
  pugi::xml_node root = doc.document_element();
  TPropFormat format = TPropFormat::Node;
  if (root) {
    const std::string name = attribute(root, "PropFormat").value();
    if (SameText(name, "auto")) throw EVelocastError("Auto PropFormat not allowed here.");
    if (SameText(name, "attr")) format = TPropFormat::Attr;
  }
  pugi::xml_node element = childElement(root, object.ClassName());
  if (!element) return;
  readProperties(object, element, format);
}

}  // namespace vc::base
