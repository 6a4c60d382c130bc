#include "program/window_port.h"

namespace lanqi {

std::string_view wordsOf(Choice choice) {
    switch (choice) {
    case Choice::Continue:
        return "继续";
    case Choice::Retry:
        return "重试";
    case Choice::EndWithoutStoring:
        return "不保存退出";
    case Choice::ExportFirst:
        return "先导出";
    case Choice::OpenWithoutExport:
        return "不导出，打开";
    case Choice::Cancel:
        return "取消";
    case Choice::Ok:
        return "确定";
    }
    return {};
}

} // namespace lanqi
