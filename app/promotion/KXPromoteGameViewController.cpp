#include "app/promotion/KXPromoteGameViewController.h"

#include "app/promotion/KXPromoteGameCell.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/SDWebImageManager.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPMediaObjects.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIScreen.h"

namespace {

const char* const kPromotedGamesCellIdentifier = "cellID";
constexpr long kCopyTile = 3;

}  // namespace

void KXPromoteGameViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
    setupNavigateView();
    addrefreshControl();
}

void KXPromoteGameViewController::setupUI() {
    view()->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#F5F5F5"));
    view()->addSubview(mainTabelView());
}

void KXPromoteGameViewController::setupNavigateView() { setTitle("推广游戏"); }

void KXPromoteGameViewController::addrefreshControl() { loader()->attachTo(mainTabelView()); }

Ref<UITableView> KXPromoteGameViewController::mainTabelView() {
    if (!mainTabelView_) {
        mainTabelView_ = make<UITableView>(UIScreen::mainScreen()->bounds(), UITableViewStyle::Plain);
        mainTabelView_->setAccessibilityIdentifier("mainTabelView");
        mainTabelView_->setDelegate(self<KXPromoteGameViewController>());
        mainTabelView_->setDataSource(self<KXPromoteGameViewController>());
        mainTabelView_->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#F5F5F5"));
        mainTabelView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
        mainTabelView_->registerClass<KXPromoteGameCell>(kPromotedGamesCellIdentifier);
    }
    return mainTabelView_;
}

Ref<KXPageLoader> KXPromoteGameViewController::loader() {
    if (!loader_) {
        loader_ = make<KXPageLoader>("mygames", KXPageLoader::modelRows<KXPromoteGameModel>(),
                                 KXPageLoader::Pull::KeepsTheRows);
        WeakRef<KXPromoteGameViewController> weak = self<KXPromoteGameViewController>();
        loader_->setLoaded([weak](KXPageLoader::Page, const Value&) {
            if (auto page = weak.lock()) page->mainTabelView()->reloadData();
        });
    }
    return loader_;
}

const Array& KXPromoteGameViewController::dataMuArr() const {
    static const Array kNone;
    return loader_ ? loader_->rows() : kNone;
}

const std::string& KXPromoteGameViewController::p() const {
    static const std::string kFirstPage = "1";
    return loader_ ? loader_->p() : kFirstPage;
}

const std::string& KXPromoteGameViewController::max_p() const {
    static const std::string kUnknown;
    return loader_ ? loader_->max_p() : kUnknown;
}

void KXPromoteGameViewController::underRefresh() { loader()->underRefresh(); }

void KXPromoteGameViewController::onRefresh() { loader()->onRefresh(); }

long KXPromoteGameViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(dataMuArr().size());
}

Ref<UITableViewCell> KXPromoteGameViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                                 NSIndexPath indexPath) {
    auto cell = cast<KXPromoteGameCell>(tableView->dequeueReusableCellWithIdentifier(kPromotedGamesCellIdentifier));
    if (!cell) cell = make<KXPromoteGameCell>(UITableViewCellStyle::Default, kPromotedGamesCellIdentifier);
    cell->setDelegate(self<KXPromoteGameViewController>());
    cell->setModel(loader()->row<KXPromoteGameModel>(static_cast<std::size_t>(indexPath.row())));
    return cell;
}

std::optional<CGFloat> KXPromoteGameViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                    NSIndexPath) {
    return KXPromoteGameCell::kRowHeight;
}

void KXPromoteGameViewController::KXPromoteGameCellxunzhong(long index, const Ref<KXPromoteGameModel>& model) {
    // Without a link there is nothing to copy or encode.
    if (!model || !model->h5_url) return;
    if (index == kCopyTile) {
        MBProgressHUDManager::showSuccess("复制成功");
        UIPasteboard::generalPasteboard()->setString(*model->h5_url);
        return;
    }
    auto window = keyWindow();
    if (!window) return;
    auto overlay = make<KXerweiMaFenXiangView>(UIScreen::mainScreen()->bounds());
    overlay->setUrlStr(*model->h5_url);
    window->addSubview(overlay);
}

void KXPromoteGameViewController::shared(long index, const std::string& icon, const std::string& link,
                                         const std::string& name) {
    if (index == 0 || index == 2) {
        SDWebImageManager::sharedManager()->loadImageWithURL(
            NSURL::URLWithString(icon), SDWebImageDefaultOptions, [](long, long, const Ref<NSURL>&) {},
            [index, link, name](const Ref<UIImage>& image, const NSData&, const Ref<NSError>&, SDImageCacheType,
                                bool finished, const Ref<NSURL>&) {
                if (!finished) return;
                NSLog(" shuju %@", Value(image));
                RPApi::sendReq(rippleShareRequest(index, image, link, name));
            });
    } else if (index == 1) {
        auto news = PalApiNewsObject::objectWithURL(NSURL::URLWithString(link), name,
                                                    NSString::stringWithFormat("%@%ld", name, index),
                                                    NSURL::URLWithString(icon));
        req_ = SendMessageToPalReq::reqWithContent(news);
        PalApiInterface::sendReq(req_);
    } else if (index == kCopyTile) {
        UIPasteboard::generalPasteboard()->setString(link);
    }
}

Ref<SendMessageToRPReq> KXPromoteGameViewController::rippleShareRequest(long index, const Ref<UIImage>& thumbnail,
                                                                        const std::string& link,
                                                                        const std::string& name) {
    auto request = make<SendMessageToRPReq>();
    request->setBText(false);
    request->setScene(index == 0 ? 0 : 1);
    auto message = RPMediaMessage::message();
    message->setTitle(name);
    message->setDescription(NSString::stringWithFormat("%@%ld", name, index));
    message->setThumbImage(thumbnail);
    auto page = RPWebpageObject::object();
    page->setWebpageUrl(link);
    message->setMediaObject(page);
    request->setMessage(message);
    return request;
}
