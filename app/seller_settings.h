// The seller's details that the order text, the mail and the version resource carry. They come from
// the settings file the build reads (app/seller_settings.txt unless the build names another); a seller
// edits that file and rebuilds. Texts are in the program's 8-bit encoding.
#pragma once

struct SellerSettings {
  const char* company;
  const char* postalAddress;      // one or more lines, separated by CR LF
  const char* telephone;
  const char* fax;
  const char* email;
  const char* taxIdentification;
  const char* orderAddress;       // where orders are mailed
  const char* fallbackSender;     // the sender when the buyer gave no e-mail address
  const char* mailServer;         // host name, optionally followed by ":port"
};

const SellerSettings& Seller();
