#include "selection/file_types.h"

#include <unordered_set>

#include "core/strings.h"

namespace zq {
namespace {

// Each group's types in the order the program page lists them; the position
// is also the type's number in the saved settings.
constexpr FileType kWordPerfectTypes[] = {
    {u"WordPerfect Documents", u"*.wpd", true},
    {u"Quattro Pro Files", u"*.qpw;*.wq1;*.wq2;*.wb1;*.wb2;*.wb3;*.xls", true},
    {u"Presentation Files", u"*.shw;*.wpg", true},
    {u"WordPerfect Macros", u"*.wcm", false},
    {u"WordPerfect Templates", u"*.wpt", false},
    {u"WordPerfect Merge Data and Forms", u"*.frm;*.dat", false},
    {u"Text, RTF and Word Documents", u"*.txt;*.rtf;*.doc;*.docx", false},
};

constexpr FileType kQuickenTypes[] = {
    {u"Quicken Files", u"*.qdf;*.qdb;*.qdt", true},
    {u"Quicken Lawyer Files", u"*.pfl;*.bfl", false},
};

constexpr FileType kQuickBooksTypes[] = {
    {u"QuickBooks Files", u"*.qbw", true},
    {u"QuickBooks Accountant Files", u"*.qba", true},
    {u"QuickBooks Portable Company Files", u"*.qbm", true},
};

constexpr FileType kWordTypes[] = {
    {u"Word Documents", u"*.doc;*.docx", true},
    {u"Word Templates", u"*.dot;*.dotx", true},
    {u"Word Macro-Enabled Documents", u"*.docm", true},
    {u"Word Macro-Enabled Templates", u"*.dotm", true},
    {u"HTML / Web Pages", u"*.html;*.htm;*.mht;*.mhtml", false},
    {u"XML Files", u"*.xml", false},
    {u"Text and RTF Files", u"*.txt;*.rtf", false},
};

constexpr FileType kExcelTypes[] = {
    {u"Excel Files", u"*.xls;*.xlsx;*.xlam;*.xltx;*.xltm;*.xla;*.xlt;*.xlm;*.xlw", true},
    {u"Macro-Enabled Excel Files", u"*.xlsm", true},
    {u"Binary Excel Files", u"*.xlsb", true},
    {u"HTML Files", u"*.html;*.htm;*.mht;*.mhtml", false},
    {u"XML Files", u"*.xml", false},
    {u"Text Files", u"*.txt;*.prn;*.csv", false},
};

constexpr FileType kAccessTypes[] = {
    {u"Access Databases", u"*.mdb;*.accdb;*.adp;*.mda;*.accda;*.mde;*.accde;*.ade", true},
    {u"Access Database Templates", u"*.accdt", true},
    {u"Access Signed Packages", u"*.accdc", true},
};

constexpr FileType kPowerPointTypes[] = {
    {u"PowerPoint Presentations and Shows", u"*.ppt;*.pptx;*.pptm;*.ppsx;*.pps;*.ppsm", true},
    {u"PowerPoint Templates", u"*.potx;*.pot;*.potm", true},
    {u"XML Files", u"*.xml", false},
    {u"HTML Files", u"*.html;*.htm;*.mht;*.mhtml", false},
};

constexpr FileType kPhotoshopTypes[] = {
    {u"Photoshop Files", u"*.psd;*.pdd;*.psb", true},
    {u"Photoshop EPS Files", u"*.eps;*.dcs", true},
    {u"Photoshop PDF Files", u"*.pdf;*.pdp", false},
    {u"Common Image Formats", u"*.jpg;*.bmp;*.gif;*.jpeg;*.jpe;*.png;*.tif;*.tiff", false},
    {u"All Supported Image Formats",
     u"*.pcx;*.rle;*.dib;*.crw;*.nef;*.raf;*.orf;*.mrw;*.dcr;*.mos;*.raw;"
     u"*.pef;*.srf;*.dng;*.x3f;*.cr2;*.erf;*.cin;*.sdpx;*.dpx;*.fido;*.flm;"
     u"*.exr;*.ai3;*.ai4;*.ai5;*.ai6;*.ai7;*.ai8;*.ps;*.epsf;*.ai;*.epsp;"
     u"*.pcd;*.pct;*.pict;*.pxr;*.pbm;*.pgm;*.ppm;*.pnm;*.pfm;*.pam;*.hdr;"
     u"*.rgbe;*.xyze;*.sct;*.tga;*.vda;*.icb;*.vst;*.wbm;*.wbmp",
     false},
};

constexpr FileType kAdobePremiereTypes[] = {
    {u"Adobe Premiere Files", u"*.prproj;*.ppj;*.prel", true},
    {u"Video Formats", u"*.avi;*.flm;*.mov", false},
    {u"Still Frame Formats", u"*.bmp;*.gif;*.tga;*.tif;*.tiff", false},
    {u"Audio Formats", u"*.wav;*.aif", false},
};

constexpr FileType kPhotosTypes[] = {
    {u"JPEG Images", u"*.jpg;*.jpeg;*.jpe;*.jif;*.jfif", true},
    {u"GIF Images", u"*.gif", true},
    {u"BMP Images", u"*.bmp", true},
    {u"TIFF Images", u"*.tiff;*.tif", true},
    {u"PNG Images", u"*.png", true},
    {u"All Other Image Formats",
     u"*.psd;*.pcx;*.rle;*.dib;*.crw;*.iff;*.lbm;*.ilbm;*.kdc;*.dcx;*.nef;"
     u"*.raf;*.orf;*.mrw;*.dcr;*.mos;*.raw;*.pef;*.srf;*.dng;*.x3f;*.cr2;"
     u"*.erf;*.cin;*.sdpx;*.dpx;*.fido;*.flm;*.exr;*.ai3;*.ai4;*.ai5;*.ai6;"
     u"*.ai7;*.ai8;*.ps;*.epsf;*.ai;*.epsp;*.pcd;*.pct;*.pict;*.pxr;*.pbm;"
     u"*.pgm;*.ppm;*.pnm;*.pfm;*.pam;*.hdr;*.rgbe;*.xyze;*.sct;*.tga;*.vda;"
     u"*.icb;*.vst;*.wbm;*.wbmp;*.pix;*.sgi;*.sgi;*.bw;*.rgb;*.rgba;*.wmf",
     false},
};

constexpr FileType kMusicTypes[] = {
    {u"MP3 Music Files", u"*.mp3", true},
    {u"WMA Music Files", u"*.wma", true},
    {u"WAV Sound Files", u"*.wav", false},
    {u"All Other Music and Sound Formats",
     u"*.mp4;*.aac;*.mpe;*.ogg;*.pcm;*.atrac;*.au;*.aiff;*.qt;*.qt3;*.ra;"
     u"*.ram;*.mid;*.vqf",
     false},
};

struct GroupTypes {
  std::string_view group;
  std::span<const FileType> types;
};

constexpr GroupTypes kGroups[] = {
    {"WordPerfect", kWordPerfectTypes},
    {"Quicken", kQuickenTypes},
    {"QuickBooks", kQuickBooksTypes},
    {"Word", kWordTypes},
    {"Excel", kExcelTypes},
    {"Access", kAccessTypes},
    {"PowerPoint", kPowerPointTypes},
    {"Photoshop", kPhotoshopTypes},
    {"Adobe Premiere", kAdobePremiereTypes},
    {"Photos", kPhotosTypes},
    {"Music", kMusicTypes},
};

// The patterns of a list, trimmed, without empty items.
std::vector<std::u16string> splitPatterns(std::u16string_view list) {
  std::vector<std::u16string> out;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u';', start);
    if (end == std::u16string_view::npos) end = list.size();
    std::u16string item = trimText(list.substr(start, end - start));
    if (!item.empty()) out.push_back(std::move(item));
    start = end + 1;
  }
  return out;
}

bool ticked(const FileTypeChecks& checks, size_t group, size_t type) {
  return type < checks[group].size() && checks[group][type];
}

// Appends the group's ticked patterns that `used` does not hold yet.
void appendNewPatterns(const ProgramSelection& selection, const FileTypeChecks& checks,
                       size_t group, std::unordered_set<std::u16string>& used,
                       std::u16string& list) {
  if (!selection[group]) return;
  const std::span<const FileType> types = fileTypesOf(group);
  for (size_t t = 0; t < types.size(); ++t) {
    if (!ticked(checks, group, t)) continue;
    for (std::u16string& pattern : splitPatterns(types[t].patterns)) {
      if (!used.insert(pattern).second) continue;
      if (!list.empty()) list += u';';
      list += pattern;
    }
  }
}

}  // namespace

std::span<const FileType> fileTypesOf(size_t catalogueIndex) {
  if (catalogueIndex >= kCatalogueSize) return {};
  const std::string_view name = programCatalogue()[catalogueIndex].name;
  for (const GroupTypes& group : kGroups) {
    if (group.group == name && programCatalogue()[catalogueIndex].isFileTypeGroup) {
      return group.types;
    }
  }
  return {};
}

FileTypeChecks initialFileTypeChecks() {
  FileTypeChecks checks;
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    for (const FileType& type : fileTypesOf(i)) checks[i].push_back(type.tickedAtStart);
  }
  return checks;
}

std::u16string searchPatternList(const ProgramSelection& selection, const FileTypeChecks& checks) {
  std::unordered_set<std::u16string> used;
  std::u16string list;
  for (size_t i = 0; i < kCatalogueSize; ++i) appendNewPatterns(selection, checks, i, used, list);
  return list;
}

std::vector<GroupPatterns> storingPatternLists(const ProgramSelection& selection,
                                               const FileTypeChecks& checks) {
  // One record of used patterns for all groups: an earlier group keeps a
  // pattern that a later one also ticks.
  std::unordered_set<std::u16string> used;
  std::vector<GroupPatterns> out;
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    std::u16string list;
    appendNewPatterns(selection, checks, i, used, list);
    if (!list.empty()) out.push_back({i, std::move(list)});
  }
  return out;
}

}  // namespace zq
