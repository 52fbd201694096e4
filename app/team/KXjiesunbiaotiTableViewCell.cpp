#include "app/team/KXjiesunbiaotiTableViewCell.h"

void KXjiesunbiaotiTableViewCell::didCreate() {
    KXCommissionColumnsCell::didCreate();
    userLabel()->setText("用户名");
    zhucerenshuLabel()->setText("注册人数(人)");
    zhucerenshuLabel()->setNumberOfLines(2);
    chongzhijingELabel()->setText("充值总额\n(元)");
    chongzhijingELabel()->setNumberOfLines(2);
    shouyiLabel()->setText("收益");
    jiesuanLabel()->setText("已结算");
}
