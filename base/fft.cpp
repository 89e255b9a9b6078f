#include "base/fft.h"

#include <cmath>
#include <utility>

static bool is_power_of_two(int count) { return count > 0 && (count & (count - 1)) == 0; }

// The butterflies below read their pairs in bit-reversed order.
static void reorder_bit_reversed(float* real, float* imag, int count) {
    for (int index = 1, reversed = 0; index < count; ++index) {
        int bit = count >> 1;
        for (; reversed & bit; bit >>= 1) reversed ^= bit;
        reversed ^= bit;
        if (index < reversed) {
            std::swap(real[index], real[reversed]);
            std::swap(imag[index], imag[reversed]);
        }
    }
}

bool fft_radix2(float* real, float* imag, int count) {
    if (!is_power_of_two(count)) return false;
    reorder_bit_reversed(real, imag, count);
    const double pi = 3.14159265358979323846;
    for (int span = 2; span <= count; span <<= 1) {
        const int half = span / 2;
        // The twiddle advances by multiplication; double keeps its drift
        // below float precision over 1024 steps.
        const double step_real = std::cos(-2.0 * pi / span);
        const double step_imag = std::sin(-2.0 * pi / span);
        for (int start = 0; start < count; start += span) {
            double twiddle_real = 1.0;
            double twiddle_imag = 0.0;
            for (int offset = 0; offset < half; ++offset) {
                const int top = start + offset;
                const int bottom = top + half;
                const double product_real = twiddle_real * real[bottom] - twiddle_imag * imag[bottom];
                const double product_imag = twiddle_real * imag[bottom] + twiddle_imag * real[bottom];
                real[bottom] = static_cast<float>(real[top] - product_real);
                imag[bottom] = static_cast<float>(imag[top] - product_imag);
                real[top] = static_cast<float>(real[top] + product_real);
                imag[top] = static_cast<float>(imag[top] + product_imag);
                const double next_real = twiddle_real * step_real - twiddle_imag * step_imag;
                twiddle_imag = twiddle_real * step_imag + twiddle_imag * step_real;
                twiddle_real = next_real;
            }
        }
    }
    return true;
}
