#pragma once

#include <cstdio>

// Every text the package manager prints, kept together. Texts
// ending in "\n" are printf formats; the others are printed as whole lines.
namespace adn_text {

// Registry and listings.
inline constexpr char REPOSITORY_TABLE_FULL[] = "仓库数量已达上限";
inline constexpr char REPOSITORY_EXISTS[] = "仓库已存在";
inline constexpr char INVALID_REPOSITORY[] = "无效的仓库地址: %s\n";
inline constexpr char REPOSITORY_ADDED[] = "仓库已添加: %s\n";
inline constexpr char REPOSITORY_WITHOUT_SLASH[] = "警告: 仓库地址未以 '/' 结尾: %s\n";  // on standard error
inline constexpr char REPOSITORY_REMOVED[] = "仓库已删除: %s\n";
inline constexpr char NO_SUCH_REPOSITORY[] = "仓库不存在: %s\n";
inline constexpr char NO_PACKAGES[] = "没有安装任何包";
inline constexpr char PACKAGES_HEADING[] = "已安装的包 (%d):\n";
inline constexpr char PACKAGE_ENTRY[] = "  - %s (版本: %s)\n";
inline constexpr char REPOSITORIES_HEADING[] = "配置的仓库 (%d):\n";
inline constexpr char REPOSITORY_ENTRY[] = "  - %s (优先级: %d)\n";
inline constexpr char SAVE_FAILED[] = "保存失败: %s\n";
inline constexpr char LOCK_FAILED[] = "无法锁定包目录: %s\n";
inline constexpr char TABLE_UNREADABLE[] = "无法读取 %s: %s\n";
inline constexpr char RECOVERY_FAILED[] = "无法撤销未完成的更改: %s\n";
inline constexpr char WAITING_FOR_LOCK[] = "Waiting for another Zentul using %s ...\n";  // on standard error, once

// Download, install, update and remove.
inline constexpr char DOWNLOADING[] = "正在下载 %s 从 %s...\n";
inline constexpr char DOWNLOADED[] = "下载成功: %s\n";
inline constexpr char INVALID_PACKAGE_NAME[] = "无效的包名: %s\n";
inline constexpr char ALREADY_INSTALLED[] = "包 %s 已经安装\n";
inline constexpr char INSTALL_UNDER_WAY[] = "包 %s 正在安装中\n";
inline constexpr char INSTALLS_TOO_DEEP[] = "包安装嵌套过深: %s\n";
inline constexpr char PACKAGE_TABLE_FULL[] = "包数量已达上限";
inline constexpr char RUNNING_PACKAGE_CODE[] = "执行包中的 Lua 代码...";
inline constexpr char INSTALLED[] = "包 %s 版本 %s 安装成功\n";
inline constexpr char NOT_FOUND[] = "无法找到包 %s\n";
inline constexpr char NOT_INSTALLED[] = "包 %s 未安装\n";
inline constexpr char UPDATING[] = "正在更新包 %s...\n";
inline constexpr char UPDATE_FAILED[] = "包 %s 更新失败，已恢复原版本\n";
inline constexpr char REMOVED[] = "包 %s 已移除\n";

// The faults of package files and of the adn and adm statements are in
// core/faults.h, with every other fault.

}  // namespace adn_text

// Prints one of the whole-line texts above and a line feed.
inline void print_text_line(const char* text) { std::printf("%s\n", text); }
