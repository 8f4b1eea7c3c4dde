#pragma once
// What the controller must receive, as (register, value) in the order it
// happens: the tables every test that checks controller traffic compares with.
#include <initializer_list>
#include <utility>
#include <vector>

namespace nt_test {

using Writes = std::vector<std::pair<int, int>>;

inline const Writes kRadeon6900Enable = {{23, 0x00}, {7, 0x20},  {6, 0x2A},  {5, 0x3B},  {4, 0x44},
                                         {3, 0x4A},  {2, 0x51},  {1, 0x51},  {19, 0x77}, {20, 0x65},
                                         {21, 0x43}, {22, 0x21}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
inline const Writes kRadeon6900Disable = {{23, 0x00}, {7, 0x00},  {6, 0x00},  {5, 0x00},  {4, 0x00},
                                          {3, 0x00},  {2, 0x00},  {1, 0x00},  {19, 0x77}, {20, 0x77},
                                          {21, 0x77}, {22, 0x77}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
inline const Writes kRadeon6800Enable = {{23, 0x00}, {7, 0x0E},  {6, 0x23},  {5, 0x34},  {4, 0x46},
                                         {3, 0x4F},  {2, 0x68},  {1, 0x7E},  {19, 0x87}, {20, 0x65},
                                         {21, 0x43}, {22, 0x21}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
inline const Writes kRadeon6800Disable = {{23, 0x00}, {7, 0x0E},  {6, 0x23},  {5, 0x34},  {4, 0x46},
                                          {3, 0x4F},  {2, 0x68},  {1, 0x7E},  {19, 0x00}, {20, 0x00},
                                          {21, 0x00}, {22, 0x00}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
inline const Writes kGeForce580FirstEnable = {{23, 0x00}, {1, 0x41},  {2, 0x36},  {3, 0x2C},  {4, 0x22},
                                              {5, 0x19},  {6, 0x10},  {7, 0x0A},  {17, 0x00}, {18, 0x00},
                                              {19, 0xCA}, {20, 0x87}, {21, 0x65}, {22, 0x42}, {23, 0x80}};
inline const Writes kGeForce580Enable = {{23, 0x00}, {19, 0xCA}, {20, 0x87},
                                         {21, 0x65}, {22, 0x42}, {23, 0x80}};
inline const Writes kGeForce560TiEnable = {{23, 0x00}, {1, 0x88},  {2, 0x6E},  {3, 0x4E},  {4, 0x41},
                                           {5, 0x36},  {6, 0x28},  {7, 0x1F},  {17, 0x00}, {18, 0x00},
                                           {19, 0x87}, {20, 0x65}, {21, 0x43}, {22, 0x21}, {23, 0x80}};
// Both GeForce boards: registers 1 to 7, 17 and 18 keep what they hold.
inline const Writes kGeForceDisable = {{23, 0x00}, {19, 0x00}, {20, 0x00},
                                       {21, 0x00}, {22, 0x00}, {23, 0x80}};

// Every card's base reset: register 23, then 1 to 22, only 17 not cleared.
inline Writes defaultTableWrites()
{
    Writes writes = {{23, 0x00}};
    for (int reg = 1; reg <= 22; ++reg) {
        writes.emplace_back(reg, reg == 17 ? 0x80 : 0x00);
    }
    return writes;
}

inline Writes joined(std::initializer_list<Writes> parts)
{
    Writes all;
    for (const Writes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

} // namespace nt_test
