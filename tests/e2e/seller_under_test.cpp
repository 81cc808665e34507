// The seller's settings of the order program under test: those of its settings file, except the mail
// server, which a test that started one on a free port names in SKYWARD_TEST_MAIL_SERVER ("host:port").
// Only the test variant is built from this file; the shipped program's server is compiled in.
#include <cstdlib>

#include "app/seller_settings.h"
#include "seller_settings_values.h"

const SellerSettings& Seller() {
  static const SellerSettings seller = [] {
    SellerSettings settings{
        SKYWARD_SELLER_COMPANY,       SKYWARD_SELLER_ADDRESS,       SKYWARD_SELLER_TELEPHONE,
        SKYWARD_SELLER_FAX,           SKYWARD_SELLER_EMAIL,         SKYWARD_SELLER_TAX_ID,
        SKYWARD_SELLER_ORDER_ADDRESS, SKYWARD_SELLER_FALLBACK_SENDER, SKYWARD_SELLER_MAIL_SERVER,
    };
    const char* server = std::getenv("SKYWARD_TEST_MAIL_SERVER");
    if (server && *server) settings.mailServer = server;
    return settings;
  }();
  return seller;
}
