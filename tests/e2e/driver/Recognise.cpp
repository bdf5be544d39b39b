#include "driver/Recognise.h"

#include <cstdio>
#include <cstdlib>

namespace e2e {
namespace {

constexpr int kChannelTolerance = 8;

bool SameColour(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int ca = static_cast<int>((a >> shift) & 0xFF);
        int cb = static_cast<int>((b >> shift) & 0xFF);
        if (abs(ca - cb) > kChannelTolerance) {
            return false;
        }
    }
    return true;
}

bool SameSize(const Pixels& a, const Pixels& b) {
    return a.width == b.width && a.height == b.height &&
           a.data.size() == static_cast<size_t>(a.width) * a.height &&
           a.data.size() == b.data.size();
}

}  // namespace

bool LooksLikeMessageBox(const std::string& windowClass,
                         const std::vector<ChildControl>& children) {
    if (windowClass != "#32770") {
        return false;
    }
    bool hasText = false;
    for (const ChildControl& child : children) {
        if (child.className == "Static") {
            hasText = hasText || child.id == kMessageTextId;
        } else if (child.className == "Button") {
            if (child.id < 1 || child.id > 11) {
                return false;
            }
        } else {
            return false;
        }
    }
    return hasText;
}

double IconMatch(const Pixels& captured, const IconSample& sample) {
    if (!SameSize(captured, sample.overBlack) || !SameSize(captured, sample.overWhite)) {
        return 0.0;
    }
    size_t opaque = 0;
    size_t matching = 0;
    for (size_t i = 0; i < captured.data.size(); ++i) {
        if (sample.overBlack.data[i] != sample.overWhite.data[i]) {
            continue;  // (partly) transparent: shows the background
        }
        ++opaque;
        if (SameColour(captured.data[i], sample.overBlack.data[i])) {
            ++matching;
        }
    }
    return opaque == 0 ? 0.0 : static_cast<double>(matching) / static_cast<double>(opaque);
}

std::string RecogniseIcon(const Pixels& captured, const std::vector<IconSample>& samples,
                          double minShare) {
    std::string best = "unknown";
    double bestShare = minShare;
    for (const IconSample& sample : samples) {
        double share = IconMatch(captured, sample);
        if (share >= bestShare) {
            best = sample.name;
            bestShare = share;
        }
    }
    return best;
}

std::string ShotFileName(int number, const std::string& title) {
    char prefix[16];
    snprintf(prefix, sizeof prefix, "%02d-", number);
    std::string name = prefix;
    bool dash = true;  // no leading, doubled or trailing dashes
    for (char c : title) {
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (keep) {
            name += c;
            dash = false;
        } else if (!dash) {
            name += '-';
            dash = true;
        }
        if (name.size() >= 48) {
            break;
        }
    }
    while (name.back() == '-') {
        name.pop_back();
    }
    if (name.size() == 2) {
        name += "-window";
    }
    return name + ".bmp";
}

}  // namespace e2e
