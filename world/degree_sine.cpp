#include "world/degree_sine.h"

#include <cmath>
#include <iterator>

namespace {

constexpr double degree = 0.0174532;  // radians

// std::sin(t * degree) for t = 0 to 99, written exactly (hexadecimal floating point).
constexpr double table[] = {
    0x0p+0, 0x1.1df04f64cd2d1p-6, 0x1.1de529574b8bap-5, 0x1.acbbdfbfbbcf2p-5,
    0x1.1db893bce80c3p-4, 0x1.64fcefd783b41p-4, 0x1.ac25758136bfdp-4, 0x1.f32c98373dfd2p-4,
    0x1.1d066708a92eap-3, 0x1.406048181d19bp-3, 0x1.63a12d960eed9p-3, 0x1.86c657c14b95dp-3,
    0x1.a9cd09023991dp-3, 0x1.ccb286218e9f9p-3, 0x1.ef74167ed5f65p-3, 0x1.0907822361693p-2,
    0x1.1a404e54a589ap-2, 0x1.2b631807c2db7p-2, 0x1.3c6e8928a47dbp-2, 0x1.4d614d7541fdep-2,
    0x1.5e3a129827cecp-2, 0x1.6ef78842d9557p-2, 0x1.7f9860480a7fp-2, 0x1.901b4eb5aed29p-2,
    0x1.a07f09eedbf75p-2, 0x1.b0c24ac57daaep-2, 0x1.c0e3cc93d9257p-2, 0x1.d0e24d55ddef9p-2,
    0x1.e0bc8dc2422fcp-2, 0x1.f0715163687a8p-2, 0x1.ffff5eb00d337p-2, 0x1.07b2bf91dcca6p-1,
    0x1.0f513fab7d38bp-1, 0x1.16da978bac697p-1, 0x1.1e4e30bf89483p-1, 0x1.25ab76864883ep-1,
    0x1.2cf1d5dcce122p-1, 0x1.3420bd8923f0cp-1, 0x1.3b379e25cd427p-1, 0x1.4235ea2cf4e25p-1,
    0x1.491b16037691p-1, 0x1.4fe69803c1ddfp-1, 0x1.5697e88895f43p-1, 0x1.5d2e81f795735p-1,
    0x1.63a9e0cbb1832p-1, 0x1.6a09839f6b502p-1, 0x1.704ceb36eb25ep-1, 0x1.76739a89ec5c3p-1,
    0x1.7c7d16cd7d527p-1, 0x1.8268e77d92b5ap-1, 0x1.883696666d51ep-1, 0x1.8de5afadd1b4ap-1,
    0x1.9375c1dc10e68p-1, 0x1.98e65de4e1895p-1, 0x1.9e37173008a8ep-1, 0x1.a36783a1d192bp-1,
    0x1.a8773ba3540a3p-1, 0x1.ad65da2a8835dp-1, 0x1.b232fcc227a22p-1, 0x1.b6de43915abf3p-1,
    0x1.bb675163323dcp-1, 0x1.bfcdcbadebb7dp-1, 0x1.c4115a9a0112cp-1, 0x1.c831a909020efp-1,
    0x1.cc2e649c377bbp-1, 0x1.d0073dbb0f8a5p-1, 0x1.d3bbe79952c1cp-1, 0x1.d74c183d2114fp-1,
    0x1.dab78884b6a5fp-1, 0x1.ddfdf42bf7c1ep-1, 0x1.e11f19d1c3a6bp-1, 0x1.e41abafd0da9ep-1,
    0x1.e6f09c21bc57ep-1, 0x1.e9a084a54e2e2p-1, 0x1.ec2a3ee3438ffp-1, 0x1.ee8d98314da07p-1,
    0x1.f0ca60e341ac9p-1, 0x1.f2e06c4ed0d73p-1, 0x1.f4cf90cf03bc9p-1, 0x1.f697a7c779c8p-1,
    0x1.f8388da76bfa8p-1, 0x1.f9b221ec72e68p-1, 0x1.fb0447250fa9dp-1, 0x1.fc2ee2f2f7b1ep-1,
    0x1.fd31de0d231dfp-1, 0x1.fe0d24419d952p-1, 0x1.fec0a477196cfp-1, 0x1.ff4c50ae44ffap-1,
    0x1.ffb01e02e2191p-1, 0x1.ffec04ac9f639p-1, 0x1.ffffffffb3c3dp-1, 0x1.ffec0e6d3b981p-1,
    0x1.ffb0318357d31p-1, 0x1.ff4c6ded0ef03p-1, 0x1.fec0cb71efc39p-1, 0x1.fe0d54f5762d7p-1,
    0x1.fd32187631bc3p-1, 0x1.fc2f270cae4eep-1, 0x1.fb0494ea1ecdcp-1, 0x1.f9b27956ca13p-1,
};

}  // namespace

double degree_sine(int32_t t) {
    if (t >= 0 && t < static_cast<int32_t>(std::size(table))) return table[t];
    return std::sin(t * degree);
}
