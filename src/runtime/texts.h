#pragma once
// The program's fixed message texts, in the program's own text form (UTF-8); fill them with
// formatText().
#include <string_view>

namespace klw::texts {

// Lists
inline constexpr std::string_view kListIndexOutOfBounds =
    "リストのインデックスが範囲を超えています (%d)";
inline constexpr std::string_view kCannotInsertLine = "行を挿入できません";
// Clipboard
inline constexpr std::string_view kCannotOpenClipboard = "クリップボードを開くことができません";
// Registry
inline constexpr std::string_view kRegGetDataFailed = "'%s' の取得に失敗しました";
inline constexpr std::string_view kRegInvalidDataType = "'%s' のデータ型が不正です";
inline constexpr std::string_view kRegSetDataFailed = "'%s' の設定に失敗しました";
// Files and streams
inline constexpr std::string_view kFOpenError = "ファイル %s は開けません";
inline constexpr std::string_view kFCreateError = "ファイル %s を作成できません";
inline constexpr std::string_view kWriteError = "ストリームへの書き込みエラー";
inline constexpr std::string_view kReadError = "ストリームからの読み込みエラー";
// Component stream reader
inline constexpr std::string_view kInvalidImage = "不正なイメージ リスト";
inline constexpr std::string_view kPropertyReadError = "%s%s%s の読み込み中のエラー : %s";
inline constexpr std::string_view kUnknownProperty = "プロパティが存在しません";
inline constexpr std::string_view kInvalidPropertyPath = "不正なプロパティのパスです";
inline constexpr std::string_view kInvalidPropertyValue = "不正なプロパティの値です";
inline constexpr std::string_view kInvalidComponentName = "コンポーネント名に ''%s'' は使えません";
inline constexpr std::string_view kDuplicateComponentName =
    "コンポーネント名 %s はすでに使われています";
inline constexpr std::string_view kClassNotFound = "クラス %s が見つかりません";
inline constexpr std::string_view kAssignError = "%s を %s に代入することはできません";
// Another program changed the list file
inline constexpr std::string_view kOtherVersionKept =
    "ファイル %s はほかのプログラムに書き換えられていました。書き換えられた内容は「%s」に残し、"
    "このウィンドウのリストを %s に保存しました。";
// A start in a folder whose list another window holds
inline constexpr std::string_view kListOpenNotAnswering =
    "このフォルダーのリスト korlinkwalker.dat は、応答しないウィンドウで開かれています";
// Go
inline constexpr std::string_view kOpenNotWebAddress =
    "ウェブのアドレスではない項目を開こうとしています。\n\n「%s」\n\n"
    "プログラムが実行されたり、ネットワーク上のコンピューターに接続されたりすることがあります。"
    "開きますか?";

}  // namespace klw::texts
