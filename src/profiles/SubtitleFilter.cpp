#include "profiles/SubtitleFilter.h"

#include "base/Format.h"
#include "profiles/FilterDialogs.h"
#include "profiles/FilterPath.h"

namespace vc::profiles {

const base::TPropTable& TSubtitleFilter::Properties() const {
  using C = TSubtitleFilter;
  static const base::TPropTable table = base::TPropTableBuilder<C>()
                                            .Field("SubtitleFile", &C::SubtitleFile)
                                            .Field("FontFile", &C::FontFile)
                                            .Field("CodePage", &C::CodePage)
                                            .Field("FontColor", &C::FontColor)
                                            .Build();
  return table;
}

void TSubtitleFilter::Assign(const base::TPersistent& source) {
  const auto* s = dynamic_cast<const TSubtitleFilter*>(&source);
  if (!s) AssignError(source);
  SubtitleFile = s->SubtitleFile;
  FontFile = s->FontFile;
  CodePage = s->CodePage;
  FontColor = s->FontColor;
}

std::string TSubtitleFilter::GetFilterString() const {
  std::string text = base::Format("ass=filename$%s#font$%s#color$0x%X00", DoubledBackslashes(SubtitleFile).c_str(),
                                  DoubledBackslashes(FontFile).c_str(), ColorToRGB(FontColor));
  if (!CodePage.empty()) text += "#codepage$" + CodePage;
  return text;
}

bool TSubtitleFilter::ShowNewDialog() {
  return FilterDialogs().ShowSubtitleFilterDialog(*this, TFilterDialogMode::New);
}

bool TSubtitleFilter::ShowEditDialog() {
  return FilterDialogs().ShowSubtitleFilterDialog(*this, TFilterDialogMode::Edit);
}

}  // namespace vc::profiles
