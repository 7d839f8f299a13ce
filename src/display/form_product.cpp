#include "display/form_product.h"

TForm_Product* Form_Product = nullptr;

TForm_Product::TForm_Product() : Form("Form_Product", "Product Information", 330, 200) {}
