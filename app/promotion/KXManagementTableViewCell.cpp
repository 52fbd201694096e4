#include "app/promotion/KXManagementTableViewCell.h"

#include "app/payment/KXClassicRequest.h"
#include "app/promotion/KXAnswerText.h"
#include "app/promotion/KXDashboardTile.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSLog.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kManagementTileWidth = 55;
constexpr CGFloat kManagementTileHeight = 47;
constexpr CGFloat kTilesTop = 65;
constexpr CGFloat kTileRowPitch = 67;
constexpr CGFloat kIconX = 15;

}  // namespace

void KXManagementTableViewCell::didCreate() {
    UITableViewCell::didCreate();
    setupUI();
}

void KXManagementTableViewCell::setupUI() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    miaoshuLabel_ = make<UILabel>(CGRect{20, 20, 300, 25});
    miaoshuLabel_->setAccessibilityIdentifier("miaoshuLabel");
    miaoshuLabel_->setText("游戏管理");
    miaoshuLabel_->setTextAlignment(NSTextAlignment::Left);
    miaoshuLabel_->setTextColor(UIColorHex::colorWithHexStringWithHexString("#444444"));
    miaoshuLabel_->setFont(UIFont::systemFontOfSize(18));
    contentView()->addSubview(miaoshuLabel_);

    fengexianView_ = make<UIView>(CGRect{0, 131, width, 1});
    fengexianView_->setAccessibilityIdentifier("fengexianView");
    fengexianView_->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#F5F5F5"));
    contentView()->addSubview(fengexianView_);
}

void KXManagementTableViewCell::setDataDic(Value dataDic) {
    dataDic_ = std::move(dataDic);
    const std::vector<Ref<UIView>> shown = contentView()->subviews();
    for (const auto& view : shown) {
        if (view->tag() >= kFirstTileTag) view->removeFromSuperview();
    }
    miaoshuLabel_->setText(KXAnswerText::text(dataDic_["title"]));
    static const Array kNoTiles;
    const Array* tiles = dataDic_["list"].array();
    placeTiles(tiles ? *tiles : kNoTiles);
}

void KXManagementTableViewCell::placeTiles(const Array& tiles) {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    const long columns = tiles.size() < 4 ? 3 : 4;
    const CGFloat gap = (width - kManagementTileWidth * static_cast<CGFloat>(columns)) / static_cast<CGFloat>(columns + 1);
    WeakRef<KXManagementTableViewCell> weak = self<KXManagementTableViewCell>();
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const long index = static_cast<long>(i);
        const long column = index % columns;
        const long row = index / columns;
        KXDashboardTile tile({gap + static_cast<CGFloat>(column) * (gap + kManagementTileWidth),
                              kTilesTop + kTileRowPitch * static_cast<CGFloat>(row), kManagementTileWidth, kManagementTileHeight},
                             kIconX, kFirstTileTag + index,
                             [weak](const Ref<UIGestureRecognizer>& recognizer) {
                                 if (auto cell = weak.lock()) cell->imviewTaKaifu(recognizer);
                             },
                             self());
        tile.imageView()->setTag(index);
        KXDashboardTile::loadImage(tile.imageView(), tiles[i]["image"]);
        tile.label()->setText(KXAnswerText::text(tiles[i]["title"]));
        contentView()->addSubview(tile.view());
    }
}

void KXManagementTableViewCell::imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer) {
    auto tileView = recognizer ? recognizer->view() : nullptr;
    const Array* tiles = dataDic_["list"].array();
    if (!tileView || !tiles) return;
    const long index = tileView->tag() - kFirstTileTag;
    // A tile of an earlier section that is still on its way out names no tile here.
    if (index < 0 || static_cast<std::size_t>(index) >= tiles->size()) return;
    const Value& tile = (*tiles)[static_cast<std::size_t>(index)];
    NSLog("%@", tile);
    if (auto delegate = this->delegate()) delegate->KXManagementTableViewCellshuju(tile);
}
