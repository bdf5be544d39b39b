// The setup's version and maker, shared by the version resource and the code that registers the
// installation with Windows, so that both always say the same. Plain defines: the resource
// compiler reads this file too.
#pragma once

#define ZB_VERSION_NUMBERS 1, 0, 0, 0
#define ZB_VERSION_TEXT "1.0"
#define ZB_PUBLISHER "ZarBelPC"
#define ZB_PRODUCT_NAME "ZarBelPC"
#define ZB_PRODUCT_URL "https://www.zarbelpc.example/"
