#include "profiles/OverlayTextFilter.h"

#include "base/Format.h"
#include "profiles/FilterDialogs.h"
#include "profiles/FilterPath.h"

namespace vc::profiles {

namespace {

std::string lineBreaksAsEscapes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

const base::TPropTable& TOverlayTextFilter::Properties() const {
  using C = TOverlayTextFilter;
  static const base::TPropTable table = base::TPropTableBuilder<C>()
                                            .Field("Text", &C::Text)
                                            .Field("FontSize", &C::FontSize)
                                            .Field("FontFile", &C::FontFile)
                                            .Field("X", &C::X)
                                            .Field("Y", &C::Y)
                                            .Field("FontColor", &C::FontColor)
                                            .Field("BgColor", &C::BgColor)
                                            .Build();
  return table;
}

void TOverlayTextFilter::Assign(const base::TPersistent& source) {
  const auto* s = dynamic_cast<const TOverlayTextFilter*>(&source);
  if (!s) AssignError(source);
  Text = s->Text;
  FontSize = s->FontSize;
  FontFile = s->FontFile;
  X = s->X;
  Y = s->Y;
  FontColor = s->FontColor;
  BgColor = s->BgColor;
}

std::string TOverlayTextFilter::GetFilterString() const {
  return base::Format("drawtext=fontfile=\\'%s\\'#text='%s'#x=%d#y=%d#fontsize=%d#fgcolor=0x%.6XFF#bgcolor=0x%.6X00",
                      DoubledBackslashes(FontFile).c_str(), lineBreaksAsEscapes(Text).c_str(), X, Y, FontSize,
                      ColorToRGB(FontColor), ColorToRGB(BgColor));
}

bool TOverlayTextFilter::ShowNewDialog() { return FilterDialogs().ShowTextFilterDialog(*this, TFilterDialogMode::New); }

bool TOverlayTextFilter::ShowEditDialog() {
  return FilterDialogs().ShowTextFilterDialog(*this, TFilterDialogMode::Edit);
}

}  // namespace vc::profiles
