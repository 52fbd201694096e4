#pragma once

#include <functional>
#include <map>
#include <optional>

#include "uikit/UICollectionViewDelegateFlowLayout.h"

// The flow-layout questions a test's collection delegate answers from what
// the test sets: item sizes, and per-section insets, spacings and header and
// footer sizes. An unset entry leaves the question unanswered, so the
// layout's own property applies. `Delegate` is the flow-layout delegate
// protocol or one derived from it. Header-only, so that only test binaries
// that link the UI layer need it.
template <class Delegate> class FlowLayoutAnswers : public Delegate {
public:
    std::function<std::optional<CGSize>(const NSIndexPath&)> itemSize;
    std::map<long, UIEdgeInsets> insets;
    std::map<long, CGFloat> lineSpacing;
    std::map<long, CGFloat> interitemSpacing;
    std::map<long, CGSize> headerSizes;
    std::map<long, CGSize> footerSizes;

    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                     const Ref<UICollectionViewLayout>&,
                                                                     const NSIndexPath& indexPath) override {
        return itemSize ? itemSize(indexPath) : std::nullopt;
    }
    std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(const Ref<UICollectionView>&,
                                                                           const Ref<UICollectionViewLayout>&,
                                                                           long section) override {
        return lookup(insets, section);
    }
    std::optional<CGFloat> collectionViewLayoutMinimumLineSpacingForSectionAtIndex(const Ref<UICollectionView>&,
                                                                                   const Ref<UICollectionViewLayout>&,
                                                                                   long section) override {
        return lookup(lineSpacing, section);
    }
    std::optional<CGFloat> collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) override {
        return lookup(interitemSpacing, section);
    }
    std::optional<CGSize> collectionViewLayoutReferenceSizeForHeaderInSection(const Ref<UICollectionView>&,
                                                                              const Ref<UICollectionViewLayout>&,
                                                                              long section) override {
        return lookup(headerSizes, section);
    }
    std::optional<CGSize> collectionViewLayoutReferenceSizeForFooterInSection(const Ref<UICollectionView>&,
                                                                              const Ref<UICollectionViewLayout>&,
                                                                              long section) override {
        return lookup(footerSizes, section);
    }

protected:
    // The answer set for a section, else none.
    template <class T> static std::optional<T> lookup(const std::map<long, T>& answers, long section) {
        auto found = answers.find(section);
        if (found == answers.end()) return std::nullopt;
        return found->second;
    }
};
