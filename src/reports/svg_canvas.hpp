// The drawing primitives of the page's plots and of the figure files: numbers as the plots
// print them, text escaped for HTML and XML, and an SVG element written into a string.
//
// A plot is drawn in view units (a scatter plot is 360 by 300). On the page one unit is
// 1.25 pixels; in a figure file (--figures) it is 85/360 mm, so that a scatter plot is a
// journal's single column, 85 mm wide, and its 11-unit text is 7.4 pt. A figure file is a
// standalone SVG document: the XML declaration, the style of the plots and fonts every
// system has.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trelba {

// The style of every plot, shared by the page and the figure files.
extern const std::string_view kPlotStyle;

// `value` with `decimals` decimals (never "-0.0"); "NA" for NaN in Number.
void AppendFixed(std::string& out, double value, int decimals);
std::string Fixed(double value, int decimals);
std::string Number(double value, int decimals);
// A count with thousands separated by commas.
std::string Count(std::uint64_t value);
// "2nd", "3rd", "4th", "11th", "21st": the English ordinal of a count.
std::string Ordinal(std::uint64_t value);
double Log10(double x);

// A name to show where room is short: up to `bytes` bytes of its end, cut at a character's
// start behind an ellipsis (a file's own name and its nearest folders are kept).
std::string NameEnd(std::string_view name, std::size_t bytes);

// The markup of the text `text`: &, <, >, " escaped, control characters and bytes that are
// not UTF-8 as '?' (the same in HTML and XML).
void AppendHtmlText(std::string& out, std::string_view text);

// Values between the lowest and highest, mapped on an axis from `from` to `to` units.
struct Scale {
  double low, high, from, to;
  double operator()(double value) const {
    return from + (value - low) / (high - low) * (to - from);
  }
};

// Where a plot goes: inline in the page, or a figure file of its own.
enum class SvgTarget : std::uint8_t { kPage, kFile };

class Svg {
 public:
  // Opens the element of a plot `width` by `height` units; `kind` is its class.
  Svg(std::string& out, std::string_view kind, double width, double height, SvgTarget target);
  // A page whose memory ran out is dropped whole: its last tag may be left open then.
  ~Svg();
  Svg(const Svg&) = delete;
  Svg& operator=(const Svg&) = delete;

  void Text(double x, double y, std::string_view text, std::string_view cls,
            std::string_view anchor = "middle", bool vertical = false);
  void Line(double x1, double y1, double x2, double y2, std::string_view cls);
  // A plain rectangle of class `cls`.
  void Box(double x, double y, double w, double h, std::string_view cls);
  // A rectangle holding `count` sequences (data-n), shaded with `opacity` when below 1 and
  // filled with `fill` when given; its hover text `title` when given.
  void Rect(double x, double y, double w, double h, std::string_view cls, std::uint64_t count,
            double opacity = 1.0, std::string_view fill = {}, std::string_view title = {});
  // A dot of radius `r`, its hover text `title` when given, filled with `fill` when given.
  void Circle(double x, double y, std::string_view r, std::string_view title = {},
              std::string_view fill = {});
  // A group of class `cls`; closed by Close.
  void Group(std::string_view cls);
  void Close() { out_ += "</g>"; }

  std::string& out() { return out_; }

 private:
  // Ends the attribute before and writes ` name="value` (left open for the next).
  void Attribute(std::string_view name, double value, int decimals = 1);
  void Attribute(std::string_view name, std::string_view value);
  // The x, y, width and height of a rectangle.
  void Place(double x, double y, double w, double h);
  // Ends the last attribute and the element `tag`, holding the hover text `title` if any.
  void End(std::string_view tag, std::string_view title);

  std::string& out_;
};

}  // namespace trelba
