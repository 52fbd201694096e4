#pragma once

#include <string>

// A double as the app writes counts and sums (注册方式, 充值方式, the Home
// chart's download count): the shortest text that reads back as the same
// number, with a fraction always ("120.0", "1234.5", "0.0"). Every number
// of a magnitude below 10^16 is written in decimal form ("100000.0", never
// "1e+05"), so no figure a promoter meets shows an exponent; larger ones
// keep the shortest form, exponent and all ("1e+16").
std::string shortestDoubleText(double value);
