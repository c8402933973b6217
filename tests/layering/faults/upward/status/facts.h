#include "ui_model/kx_page_state.h"
