#pragma once
// The object XML form: a persistent object's published properties as XML and back. Conversion
// settings are stored flat (one line); the configuration file is indented with CR LF line ends.
#include <string>

#include "base/Persistent.h"

namespace vc::base {

enum class TPropFormat { Auto, Attr, Node };

struct TXmlLayout {
  bool Indented = false;  // two spaces per level, CR LF, " />" for empty elements
};

// Root "data" with "PropFormat", then an element named after the class holding its properties.
// Auto writes as Node.
std::string WriteObjectXml(const TPersistent& object, TPropFormat format = TPropFormat::Node,
                           TXmlLayout layout = {});

// Fills object from text written by WriteObjectXml (element names match without regard to case).
// Text that is not XML, or lacks the class element, leaves the object as it is. A value that does
// not parse raises EVelocastError ("Invalid integer value (%s)." and the like); "Auto" as the
// document's format raises "Auto PropFormat not allowed here.".
void ReadObjectXml(const std::string& text, TPersistent& object);

}  // namespace vc::base
