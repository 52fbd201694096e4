#include "app/tabs/mine/KXMenuDispatch.h"

#include <map>

#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXBillingDetailsViewController.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/payment/KXPrepaidPhoneRecordsjiluViewController.h"
#include "app/promotion/KXApplyGameViewController.h"
#include "app/promotion/KXPromotionQrCodeViewController.h"
#include "app/promotion/MyViewController.h"
#include "app/stats/KXGameGiftBagController.h"
#include "app/stats/KXOpenServiceInfoController.h"
#include "app/stats/KXRankListController.h"
#include "app/stats/KXRegistTypeController.h"
#include "app/tabs/promote/KXPromoteSearchController.h"
#include "app/team/KXChangeThePasswordViewController.h"
#include "app/team/KXContactUsViewController.h"
#include "app/team/KXDividedIntoViewController.h"
#include "app/team/KXDividedintoProportionViewController.h"
#include "app/team/KXPersonalInformationViewController.h"
#include "app/team/KXPromotionAnnouncementViewController.h"
#include "app/team/KXRegistrationStatisticsViewController.h"
#include "app/team/KXRoleSummaryViewController.h"
#include "app/team/KXTixianguanliViewController.h"
#include "app/team/KXTopupStatisticsViewController.h"
#include "app/team/KXtianjiangxianxiangController.h"
#include "app/team/KXtuiguanpanhangbangViewController.h"
#include "app/team/MyOfflineViewController.h"
#include "uikit/UINavigationController.h"

namespace {

// A factory of a fresh `Screen` given the menu's type (the rankings and the
// type statistics show the list the type names).
template <class Screen>
KXScreenFactory typedScreenFactory(KXMineNavType type) {
    return [type] {
        auto screen = make<Screen>();
        screen->setType(type);
        return Ref<UIViewController>(screen);
    };
}

// The screen of each case that opens one; every other case opens nothing.
const std::map<KXMineNavType, KXScreenFactory>& menuScreens() {
    using T = KXMineNavType;
    static const std::map<KXMineNavType, KXScreenFactory> table = {
        {T::promoteBox, screenFactory<KXPromotionQrCodeViewController>()},
        {T::myGame, screenFactory<KXPromoteSearchController>()},
        {T::applyGame, screenFactory<KXApplyGameViewController>()},
        {T::saleRecharge, screenFactory<KXDiscountDaiChunViewController>()},
        {T::applySettlement, screenFactory<KXApplyjiesuanViewController>()},
        {T::settlementDetailed, screenFactory<KXBillingDetailsViewController>()},
        {T::subordinate, screenFactory<MyOfflineViewController>()},
        {T::divisionDetails, screenFactory<KXDividedIntoViewController>()},
        {T::withdrawalManage, screenFactory<KXTixianguanliViewController>()},
        {T::promoteRank, screenFactory<KXtuiguanpanhangbangViewController>()},
        {T::addSubordinate, screenFactory<KXtianjiangxianxiangController>()},
        {T::divideScale, screenFactory<KXDividedintoProportionViewController>()},
        {T::popularityRank, typedScreenFactory<KXRankListController>(T::popularityRank)},
        {T::openServiceInfo, screenFactory<KXOpenServiceInfoController>()},
        {T::gameGiftBag, screenFactory<KXGameGiftBagController>()},
        {T::registerStatistics, screenFactory<KXRegistrationStatisticsViewController>()},
        {T::rechargeStatistics, screenFactory<KXTopupStatisticsViewController>()},
        {T::roleSummary, screenFactory<KXRoleSummaryViewController>()},
        {T::registType, typedScreenFactory<KXRegistTypeController>(T::registType)},
        {T::rechargeType, typedScreenFactory<KXRegistTypeController>(T::rechargeType)},
        {T::consumeRank, typedScreenFactory<KXRankListController>(T::consumeRank)},
        {T::mineInfo, screenFactory<KXPersonalInformationViewController>()},
        {T::changePassword, screenFactory<KXChangeThePasswordViewController>()},
        {T::rechargeRecord, screenFactory<KXPrepaidPhoneRecordsjiluViewController>()},
        {T::contactUs, screenFactory<KXContactUsViewController>()},
        {T::promoteNotice, screenFactory<KXPromotionAnnouncementViewController>()},
    };
    return table;
}

}  // namespace

std::optional<KXScreenFactory> menuScreenFactory(KXMineNavType type) {
    const auto& table = menuScreens();
    auto entry = table.find(type);
    if (entry == table.end()) return std::nullopt;
    return entry->second;
}

void performMenuDispatch(std::int64_t type, const Ref<UIViewController>& screen) {
    const auto navType = KXMineNavTypeFromRawValue(type);
    if (!navType) return;
    auto navigation = screen ? screen->navigationController() : nullptr;
    if (*navType == KXMineNavType::realNameAuthentication) {
        if (!navigation) return;
        auto check = make<MyViewController>();
        check->setNavController(navigation);
        check->shifoshimingrenzheng();
        return;
    }
    auto factory = menuScreenFactory(*navType);
    if (!factory || !navigation) return;
    navigation->pushViewController((*factory)(), true);
}
