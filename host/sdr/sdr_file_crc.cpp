// CRC-32 (ZIP polynomial): carry-less multiplication folding where the processor has it,
// slice-by-8 tables otherwise and for the tails, and a parallel split for large blocks.
#include "host/sdr/sdr_file_crc.h"

#include <algorithm>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <thread>
#include <vector>

namespace
{
const quint32 POLY = 0xEDB88320u;
// Folding runs near memory bandwidth on one core (about 10 GB/s), so a split only pays
// for blocks far larger than a data log's rows: starting and joining threads on a busy
// machine was measured to cost more than checking 4 MiB blocks serially (up to ten times).
const qint64 PARALLEL_THRESHOLD = qint64(64) << 20;

struct tables
{
    quint32 slice[8][256];
    quint32 power[32]; // x^(2^k) mod p
    tables();
};

// a * b modulo the polynomial, bit-reflected.
quint32 multiply(quint32 a, quint32 b)
{
    quint32 m = 1u << 31, p = 0;
    for (;;) {
        if (a & m) {
            p ^= b;
            if ((a & (m - 1)) == 0)
                break;
        }
        m >>= 1;
        b = (b & 1) ? (b >> 1) ^ POLY : b >> 1;
    }
    return p;
}

tables::tables()
{
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ POLY : c >> 1;
        slice[0][n] = c;
    }
    for (int n = 0; n < 256; ++n)
        for (int s = 1; s < 8; ++s)
            slice[s][n] = (slice[s - 1][n] >> 8) ^ slice[0][slice[s - 1][n] & 0xff];
    power[0] = 1u << 30;
    for (int k = 1; k < 32; ++k)
        power[k] = multiply(power[k - 1], power[k - 1]);
}

const tables& crc_tables()
{
    static const tables t;
    return t;
}

// x^(8 * bytes) modulo the polynomial.
quint32 shift_of(qint64 bytes)
{
    quint32 p = 1u << 31;
    unsigned k = 3;
    for (quint64 n = quint64(bytes); n; n >>= 1, ++k)
        if (n & 1)
            p = multiply(crc_tables().power[k & 31], p);
    return p;
}
#if defined(__x86_64__)
#define SDR_FILE_CRC_FOLDING __attribute__((target("pclmul,sse4.1")))

SDR_FILE_CRC_FOLDING __m128i load(const unsigned char* at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// One 128-bit fold of `a` by the constants in `k`, merged with the next 16 bytes.
SDR_FILE_CRC_FOLDING __m128i fold16(__m128i a, __m128i k, __m128i next)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x11), next), _mm_clmulepi64_si128(a, k, 0x00));
}

// Folds 64-byte blocks with carry-less multiplication and reduces the result with Barrett's
// method (constants of the reflected ZIP polynomial). Takes and returns the raw register, not
// the inverted CRC; `length` is at least 64 and a multiple of 16.
SDR_FILE_CRC_FOLDING quint32 fold(const unsigned char* buf, qint64 length, quint32 reg)
{
    alignas(16) static const quint64 k1k2[] = {0x0154442bd4ull, 0x01c6e41596ull};
    alignas(16) static const quint64 k3k4[] = {0x01751997d0ull, 0x00ccaa009eull};
    alignas(16) static const quint64 k5k0[] = {0x0163cd6124ull, 0};
    alignas(16) static const quint64 poly[] = {0x01db710641ull, 0x01f7011641ull};
    __m128i x1 = _mm_xor_si128(load(buf), _mm_cvtsi32_si128(int(reg)));
    __m128i x2 = load(buf + 16), x3 = load(buf + 32), x4 = load(buf + 48);
    __m128i x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    buf += 64;
    length -= 64;
    for (; length >= 64; buf += 64, length -= 64) {
        x1 = fold16(x1, x0, load(buf));
        x2 = fold16(x2, x0, load(buf + 16));
        x3 = fold16(x3, x0, load(buf + 32));
        x4 = fold16(x4, x0, load(buf + 48));
    }
    x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = fold16(fold16(fold16(x1, x0, x2), x0, x3), x0, x4);
    for (; length >= 16; buf += 16, length -= 16)
        x1 = fold16(x1, x0, load(buf));
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, x0, 0x10));
    x0 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), x0, 0x00), _mm_srli_si128(x1, 4));
    x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    __m128i x2r = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), x0, 0x10);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x2r, mask), x0, 0x00);
    return quint32(_mm_extract_epi32(_mm_xor_si128(x1, x2r), 1));
}

bool has_folding()
{
    static const bool supported = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return supported;
}
#endif
} // namespace

quint32 SDR_FILE_CRC::update_serial(quint32 crc, const unsigned char* data, qint64 length)
{
    const tables& t = crc_tables();
    crc = ~crc;
#if defined(__x86_64__)
    if (length >= 64 && has_folding()) {
        const qint64 blocks = length & ~qint64(15);
        crc = fold(data, blocks, crc);
        data += blocks;
        length -= blocks;
    }
#endif
    while (length >= 8) {
        const quint32 one = crc ^ (quint32(data[0]) | quint32(data[1]) << 8 | quint32(data[2]) << 16 | quint32(data[3]) << 24);
        crc = t.slice[7][one & 0xff] ^ t.slice[6][(one >> 8) & 0xff] ^ t.slice[5][(one >> 16) & 0xff] ^
              t.slice[4][one >> 24] ^ t.slice[3][data[4]] ^ t.slice[2][data[5]] ^ t.slice[1][data[6]] ^
              t.slice[0][data[7]];
        data += 8;
        length -= 8;
    }
    while (length-- > 0)
        crc = (crc >> 8) ^ t.slice[0][(crc ^ *data++) & 0xff];
    return ~crc;
}

quint32 SDR_FILE_CRC::combine(quint32 first, quint32 second, qint64 second_length)
{
    return multiply(shift_of(second_length), first) ^ second;
}

quint32 SDR_FILE_CRC::update(quint32 crc, const char* data, qint64 length)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (length < PARALLEL_THRESHOLD)
        return update_serial(crc, bytes, length);
    // Asking for the processor count reads a file each time; the CRC of a trigger's content is
    // made of many tiny updates that must not pay for it.
    static const int parts = int(std::min<unsigned>(4, std::max(1u, std::thread::hardware_concurrency())));
    if (parts < 2)
        return update_serial(crc, bytes, length);
    const qint64 part = length / parts;
    std::vector<quint32> results(size_t(parts), 0);
    std::vector<std::thread> workers;
    for (int i = 1; i < parts; ++i) {
        const qint64 size = i + 1 == parts ? length - part * i : part;
        workers.emplace_back([&results, bytes, part, size, i] { results[size_t(i)] = update_serial(0, bytes + part * i, size); });
    }
    results[0] = update_serial(crc, bytes, part);
    for (std::thread& worker : workers)
        worker.join();
    quint32 total = results[0];
    for (int i = 1; i < parts; ++i)
        total = combine(total, results[size_t(i)], i + 1 == parts ? length - part * i : part);
    return total;
}
