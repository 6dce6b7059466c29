#include "reports/colour_scale.hpp"

#include <array>
#include <cmath>
#include <cstdint>

namespace trelba {
namespace {

using Rgb = std::array<std::uint8_t, 3>;

constexpr std::array<Rgb, 9> kViridis = {{{68, 1, 84},
                                          {71, 44, 122},
                                          {59, 81, 139},
                                          {44, 113, 142},
                                          {33, 144, 141},
                                          {39, 173, 129},
                                          {92, 200, 99},
                                          {170, 220, 50},
                                          {253, 231, 37}}};

constexpr std::array<Rgb, 9> kRedBlue = {{{33, 102, 172},
                                          {67, 147, 195},
                                          {146, 197, 222},
                                          {209, 229, 240},
                                          {247, 247, 247},
                                          {253, 219, 199},
                                          {244, 165, 130},
                                          {214, 96, 77},
                                          {178, 24, 43}}};

std::string Hex(const std::array<double, 3>& rgb) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string out = "#";
  for (const double channel : rgb) {
    const auto value = static_cast<unsigned>(std::lround(channel));
    out += kDigits[value / 16];
    out += kDigits[value % 16];
  }
  return out;
}

std::string Interpolated(const std::array<Rgb, 9>& stops, double t) {
  if (std::isnan(t)) return "#999999";
  const double at = std::fmin(std::fmax(t, 0.0), 1.0) * 8.0;
  const auto low = static_cast<std::size_t>(std::fmin(at, 7.0));
  const double f = at - static_cast<double>(low);
  std::array<double, 3> rgb{};
  for (std::size_t c = 0; c < 3; ++c) {
    rgb[c] = stops[low][c] + f * (stops[low + 1][c] - stops[low][c]);
  }
  return Hex(rgb);
}

}  // namespace

std::string SequentialColour(double t) {
  return Interpolated(kViridis, t);
}

std::string DivergingColour(double t) {
  return Interpolated(kRedBlue, (t + 1.0) / 2.0);
}

}  // namespace trelba
