#include "morse/scripts/greek.h"

namespace zarn {
namespace {

// The Greek telegraph alphabet: each letter on the code of the Latin letter
// nearest in sound or in place (C for theta, Q for psi, W for omega), with
// four dashes for chi. The tonos is not sent; the reader restores it.
constexpr ScriptLetter kGreek[] = {
    {U'\u0391', "101110"},            // Α
    {U'\u0392', "1110101010"},        // Β
    {U'\u0393', "1110111010"},        // Γ
    {U'\u0394', "11101010"},          // Δ
    {U'\u0395', "10"},                // Ε
    {U'\u0396', "111011101010"},      // Ζ
    {U'\u0397', "10101010"},          // Η
    {U'\u0398', "111010111010"},      // Θ
    {U'\u0399', "1010"},              // Ι
    {U'\u039A', "1110101110"},        // Κ
    {U'\u039B', "1011101010"},        // Λ
    {U'\u039C', "11101110"},          // Μ
    {U'\u039D', "111010"},            // Ν
    {U'\u039E', "111010101110"},      // Ξ
    {U'\u039F', "111011101110"},      // Ο
    {U'\u03A0', "101110111010"},      // Π
    {U'\u03A1', "10111010"},          // Ρ
    {U'\u03A3', "101010"},            // Σ
    {U'\u03A4', "1110"},              // Τ
    {U'\u03A5', "11101011101110"},    // Υ
    {U'\u03A6', "1010111010"},        // Φ
    {U'\u03A7', "1110111011101110"},  // Χ
    {U'\u03A8', "11101110101110"},    // Ψ
    {U'\u03A9', "1011101110"},        // Ω
};
static_assert(sorted_by_code(kGreek));

}  // namespace

std::span<const ScriptLetter> greek_letters() {
  return kGreek;
}

}  // namespace zarn
