#pragma once

#include <functional>
#include <vector>

#include "foundation/NSURL.h"
#include "foundation/StoredBlock.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIViewController.h"

enum class ZLURLType { Image, Video };

// A full-screen preview of pictures by address, paged sideways on black,
// starting at `index`: a top bar with a back button (dismisses) and the
// position ("3/5"), an optional selection button, and an optional bottom
// bar whose "完成" calls the done block with the addresses and dismisses.
// Pictures are loaded by the caller's loader when their page comes into
// view (the shown page and its neighbours), each once; video addresses
// (by `urlType`) are shown but not loaded.
class ZLImagePreviewController : public UIViewController, public UIScrollViewDelegate {
public:
    using URLTypeBlock = std::function<ZLURLType(const Ref<NSURL>&)>;
    // Loads the address into the view, reporting progress (0...1) and the end.
    using URLImageLoader = std::function<void(const Ref<NSURL>& url, const Ref<UIImageView>& imageView,
                                              std::function<void(CGFloat)> progress, std::function<void()> finish)>;
    using DoneBlock = StoredBlock<void(const std::vector<Ref<NSURL>>& items)>;

    ZLImagePreviewController(std::vector<Ref<NSURL>> datas, long index, bool showSelectBtn = true,
                             bool showBottomView = true, URLTypeBlock urlType = nullptr,
                             URLImageLoader urlImageLoader = nullptr);

    const std::vector<Ref<NSURL>>& datas() const { return datas_; }
    long currentIndex() const { return currentIndex_; }
    bool showSelectBtn() const { return showSelectBtn_; }
    bool showBottomView() const { return showBottomView_; }
    void setDoneBlock(DoneBlock block) { doneBlock_ = std::move(block); }

    Ref<UIScrollView> collectionView() const { return pager_; }
    // The page of a picture (null before the view loads).
    Ref<UIImageView> imageViewAt(long index) const;
    Ref<UILabel> indexLabel() const { return indexLabel_; }
    Ref<UIButton> selectButton() const { return selectButton_; }
    Ref<UIView> bottomView() const { return bottomView_; }
    Ref<UIButton> doneButton() const { return doneButton_; }

    void viewDidLoad() override;
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;

    std::string className() const override { return "ZLImagePreviewController"; }

private:
    void backClicked();
    void doneClicked();
    void showIndex(long index);
    void loadPage(long index);

    std::vector<Ref<NSURL>> datas_;
    long currentIndex_ = 0;
    bool showSelectBtn_;
    bool showBottomView_;
    URLTypeBlock urlType_;
    URLImageLoader urlImageLoader_;
    DoneBlock doneBlock_;
    std::vector<bool> requested_;

    Ref<UIScrollView> pager_;
    std::vector<Ref<UIImageView>> pages_;
    Ref<UIView> topBar_;
    Ref<UIButton> backButton_;
    Ref<UILabel> indexLabel_;
    Ref<UIButton> selectButton_;
    Ref<UIView> bottomView_;
    Ref<UIButton> doneButton_;
};
