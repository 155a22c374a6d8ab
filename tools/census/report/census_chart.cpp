#include "report/census_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli_text.h"
#include "draw.h"
#include "report/number_figures.h"

namespace {

// The layout: two panels, one above the other, with room on the left for the tick labels and the
// axis titles.
constexpr int kWidth = 900, kHeight = 780, kLeft = 130, kRight = 20;
constexpr int kTop = 90, kPanel = 240, kGap = 130;
constexpr double kPlotWidth = kWidth - kLeft - kRight, kSlot = kPlotWidth / kHighestNumber;

// A tick value as a person reads it: grouped thousands, as many decimals as the step needs, a
// true minus sign and, where asked, a plus sign.
std::string TickLabel(double value, double step, bool sign) {
  int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  uint64_t units =
      static_cast<uint64_t>(std::llround(std::fabs(value) * static_cast<double>(scale)));
  if (units == 0) return "0";
  std::string text = Grouped(units / scale);
  if (decimals)
    text += Printed(".%0*llu", decimals, static_cast<unsigned long long>(units % scale));
  if (value < 0) return "\u2212" + text;
  return sign ? "+" + text : text;
}

// Text as it may stand in the SVG.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
  }
  return out;
}

std::string Subtitle(const ChartFigures& figures, const NumberExtremes& extremes) {
  std::string text =
      Counted(figures.seeds, "seed", "seeds") + " (" + Escaped(figures.covered) + ")";
  if (figures.seeds == 0) return text;
  text += "; most frequent " + NumberNames(extremes.most) + ", in red; least frequent " +
          NumberNames(extremes.least) + ", in blue; most to least ";
  return text + (extremes.ratioDefined ? Printed("%.6f", extremes.ratio) : "n/a");
}

std::string Text(double x, double y, int size, const char* anchor, const std::string& text,
                 const char* extra = "") {
  return Printed("<text x=\"%.1f\" y=\"%.1f\" font-size=\"%d\" text-anchor=\"%s\"%s>%s</text>\n", x,
                 y, size, anchor, extra, text.c_str());
}

std::string AxisTitle(int middle, const std::string& title) {
  return Printed(
      "<text x=\"24\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\" "
      "transform=\"rotate(-90 24 %d)\">%s</text>\n",
      middle, middle, title.c_str());
}

std::string GridLine(double y, bool axis) {
  return Printed("<line x1=\"%d\" x2=\"%d\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"%s\"/>\n", kLeft,
                 kWidth - kRight, y, y, axis ? "#555" : "#ddd");
}

std::string NumberLabels(int y) {
  std::string svg;
  for (int n = 1; n <= kHighestNumber; ++n) {
    svg += Text(kLeft + kSlot * (n - 0.5), y, 10, "middle", Printed("%02d", n));
  }
  return svg;
}

const char* Colour(const NumberExtremes& extremes, int n) {
  auto in = [n](const std::vector<int>& list) {
    return std::find(list.begin(), list.end(), n) != list.end();
  };
  return in(extremes.most) ? "#c0392b" : in(extremes.least) ? "#2471a3" : "#7f8c8d";
}

std::string Bar(double top, double height, int n, const char* colour, const std::string& tip) {
  return Printed(
      "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\">"
      "<title>%02d: %s</title></rect>\n",
      kLeft + kSlot * (n - 1) + kSlot * 0.15, top, kSlot * 0.7, height, colour, n, tip.c_str());
}

// The counts from zero: how even the die is.
std::string CountPanel(const ChartFigures& figures, const NumberExtremes& extremes) {
  std::vector<double> ticks =
      RoundTicks(0, std::max<double>(1, static_cast<double>(extremes.mostCount)), 5, true);
  double axisTop = ticks.back(), step = ticks[1] - ticks[0];
  int bottom = kTop + kPanel;
  std::string svg;
  for (double tick : ticks) {
    double y = bottom - kPanel * tick / axisTop;
    svg += GridLine(y, tick == 0);
    svg += Text(kLeft - 6, y + 4, 11, "end", TickLabel(tick, step, false));
  }
  for (int n = 1; n <= kHighestNumber; ++n) {
    double height = kPanel * static_cast<double>(figures.counts[n]) / axisTop;
    svg += Bar(bottom - height, height, n, Colour(extremes, n),
               Counted(figures.counts[n], "seed", "seeds"));
  }
  svg += NumberLabels(bottom + 16);
  svg += Text(kLeft + kPlotWidth / 2, bottom + 34, 12, "middle", "number");
  return svg + AxisTitle(kTop + kPanel / 2, "seeds whose pick holds the number");
}

// Each number's difference from the average, in per cent when it is large, else in parts per
// million: the slight lean of the numbers 1 to 23.
std::string DifferencePanel(const ChartFigures& figures, const NumberExtremes& extremes) {
  int top = kTop + kPanel + kGap, bottom = top + kPanel;
  double average = 0;
  for (int n = 1; n <= kHighestNumber; ++n) average += static_cast<double>(figures.counts[n]);
  average /= kHighestNumber;
  double difference[kNumberSlots] = {}, lowest = 0, highest = 0;
  for (int n = 1; n <= kHighestNumber; ++n) {
    difference[n] = average > 0 ? (static_cast<double>(figures.counts[n]) - average) / average : 0;
    lowest = std::min(lowest, difference[n]);
    highest = std::max(highest, difference[n]);
  }
  bool percent = std::max(-lowest, highest) >= 0.01;
  double scale = percent ? 100 : 1e6;
  const char* unit = percent ? "%" : " ppm";
  if (highest - lowest < 1 / scale) highest = lowest + 1 / scale;  // all alike: a span of one unit
  std::vector<double> ticks = RoundTicks(lowest * scale, highest * scale, 6, false);
  double axisLow = ticks.front(), axisHigh = ticks.back(), step = ticks[1] - ticks[0];
  auto y = [&](double value) { return top + kPanel * (axisHigh - value) / (axisHigh - axisLow); };
  std::string svg =
      Text(kLeft, top - 22, 14, "start", "Difference from the average", " font-weight=\"bold\"");
  for (double tick : ticks) {
    svg += GridLine(y(tick), std::fabs(tick) < step / 2);
    svg += Text(kLeft - 6, y(tick) + 4, 11, "end", TickLabel(tick, step, true) + unit);
  }
  for (int n = 1; n <= kHighestNumber; ++n) {
    double value = difference[n] * scale;
    svg += Bar(std::min(y(value), y(0)), std::fabs(y(value) - y(0)), n, Colour(extremes, n),
               Printed("%+.*f%s", percent ? 2 : 1, value, unit));
  }
  svg += NumberLabels(bottom + 16);
  svg += Text(kLeft + kPlotWidth / 2, bottom + 34, 12, "middle", "number");
  return svg + AxisTitle(top + kPanel / 2, std::string("difference from the average, ") +
                                               (percent ? "per cent" : "parts per million"));
}

}  // namespace

std::vector<double> RoundTicks(double low, double high, int wanted, bool whole) {
  double rough = (high - low) / std::max(wanted, 1);
  double power = std::pow(10.0, std::floor(std::log10(rough > 0 ? rough : 1)));
  double step = power;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * power;
    if (step >= rough * (1 - 1e-9)) break;
  }
  if (whole) step = std::max(step, 1.0);
  std::vector<double> ticks;
  double first = std::floor(low / step + 1e-9) * step;
  for (int i = 0; ticks.empty() || ticks.back() < high * (1 - 1e-12) - 1e-12; ++i) {
    ticks.push_back(first + i * step);
  }
  if (ticks.size() == 1) ticks.push_back(first + step);
  return ticks;
}

std::string NumberChart(const ChartFigures& figures) {
  NumberExtremes extremes = FindNumberExtremes(figures.counts);
  std::string svg = Printed(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
      "viewBox=\"0 0 %d %d\" font-family=\"sans-serif\">\n",
      kWidth, kHeight, kWidth, kHeight);
  svg += Printed("<rect width=\"%d\" height=\"%d\" fill=\"white\"/>\n", kWidth, kHeight);
  svg += Text(kLeft, 32, 18, "start", "How often each number is in the die's pick",
              " font-weight=\"bold\"");
  svg += Text(kLeft, 56, 13, "start", Subtitle(figures, extremes), " fill=\"#444\"");
  svg += CountPanel(figures, extremes);
  svg += DifferencePanel(figures, extremes);
  return svg + "</svg>\n";
}
