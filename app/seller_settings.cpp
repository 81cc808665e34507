#include "app/seller_settings.h"

#include "seller_settings_values.h"

const SellerSettings& Seller() {
  static constexpr SellerSettings kSeller{
      SKYWARD_SELLER_COMPANY,       SKYWARD_SELLER_ADDRESS,       SKYWARD_SELLER_TELEPHONE,
      SKYWARD_SELLER_FAX,           SKYWARD_SELLER_EMAIL,         SKYWARD_SELLER_TAX_ID,
      SKYWARD_SELLER_ORDER_ADDRESS, SKYWARD_SELLER_FALLBACK_SENDER, SKYWARD_SELLER_MAIL_SERVER,
  };
  return kSeller;
}
