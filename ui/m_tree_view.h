#pragma once
// TmTreeView: a tree view with its own row drawing over a TmTreeModel. A node text splits at
// the first "|" into a name and a label with their own colours; a label with "(" (a count)
// follows the name, any other label sits at the row's right end. The row under the mouse gets
// the highlight picture, and a skinned scroll bar beside the tree can mirror its vertical
// scrolling in place of the native one. Rows scroll by whole rows. Clicking selects a node and
// expands it, and the branch of the previous selection closes up to the one the new node lies
// in; clicking the selected node again toggles it (both only while AutoExpand is on).

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>
#include <cstdint>
#include <functional>

#include "ui/image_list.h"
#include "ui/png_picture.h"
#include "ui/tree_view_model.h"
#include "ui/ui_events.h"

namespace nivra::ui {

class TPNGCustomScrollBar;

enum class TPicBGStyle { pbgs_Normal, pbgs_STRETCH, pbgs_CENTER };

// Where the parts of one row go, in the row's own coordinates.
struct TRowLayout {
  QString name, label;
  bool countedLabel = false;  // the label holds "(" and follows the name
  int textLeft = 0;
  QRect nameRect, labelRect, hotRect;  // empty when not drawn
  QRect stateRect, advStateRect;
  int stateIndex = -1, advStateIndex = -1;
};

class TmTreeView : public QAbstractScrollArea {
 public:
  explicit TmTreeView(QWidget* parent = nullptr);
  ~TmTreeView() override;

  // The tree shown; not owned, and it must outlive the view (or be replaced first).
  void SetModel(TmTreeModel* model);
  TmTreeModel* Model() const { return model_; }

  TPNGCustomScrollBar* CustumScrollBar() const { return customBar_; }
  // Mirrors the vertical scrolling into `bar` (none: the native scroll bar as needed).
  void SetCustumScrollBar(TPNGCustomScrollBar* bar);
  const TPicture& PicBG() const { return picBG_; }
  void SetPicBG(const TPicture& picture);
  TPicBGStyle PicBGStyle() const { return picBGStyle_; }
  void SetPicBGStyle(TPicBGStyle style);
  const TPicture& PicSelectBG() const { return picSelectBG_; }
  // An empty picture loads the built-in "HOTBG" again.
  void SetPicSelectBG(const TPicture& picture);
  // Colours in 0x00BBGGRR.
  std::uint32_t FontStandTextColor() const { return standColor_; }
  void SetFontStandTextColor(std::uint32_t c);
  std::uint32_t FontLabelTextColor() const { return labelColor_; }
  void SetFontLabelTextColor(std::uint32_t c);
  std::uint32_t FontSelectTextColor() const { return selectColor_; }
  void SetFontSelectTextColor(std::uint32_t c);
  std::uint32_t FontHotTextColor() const { return hotColor_; }
  void SetFontHotTextColor(std::uint32_t c);
  // Not 0: nodes with children also show state image (index + AdvState) at the row's end.
  std::uint16_t AdvState() const { return advState_; }
  void SetAdvState(std::uint16_t value);
  // Optional row backgrounds by node level, sliced in three to the row's width.
  void SetNodeImages(const TImageList* images);
  // State images by the model's state index (1 collapsed, 2 expanded, …).
  void SetStateImages(const TImageList& images);
  bool HasStateImages() const { return stateImages_.Count() > 0; }
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int pixels);
  bool RightClickSelect() const { return rightClickSelect_; }
  void SetRightClickSelect(bool on) { rightClickSelect_ = on; }
  // On (the default): a click expands the node it selects and closes the old branch, and a
  // click on the selected node toggles it. Off: a click only selects.
  bool AutoExpand() const { return autoExpand_; }
  void SetAutoExpand(bool on) { autoExpand_ = on; }

  // The nodes on rows, top to bottom (children of expanded nodes included).
  std::vector<TreeNodeId> VisibleNodes() const;
  // The node on the row at viewport point (x, y); 0 below the last row.
  TreeNodeId GetNodeAt(int x, int y) const;
  TreeNodeId HotNode() const { return hotNode_; }
  // The first row shown and how many rows fit.
  int ScrollPosition() const;
  void SetScrollPosition(int row);
  int PageRows() const;
  int Level(TreeNodeId node) const;
  void Expand(TreeNodeId node);
  void Collapse(TreeNodeId node);
  // The parts of a node's row of `rowWidth` × ItemHeight.
  TRowLayout LayoutRow(TreeNodeId node, int rowWidth) const;

  using TTVChangedEvent = std::function<void(QObject* sender, TreeNodeId node)>;
  // Asked before a node opens or closes; clearing `allow` keeps it as it is.
  using TTVExpandingEvent = std::function<void(QObject* sender, TreeNodeId node, bool& allow)>;

  TTVChangedEvent OnChange;  // the selection changed
  TTVExpandingEvent OnExpanding;
  TTVChangedEvent OnExpanded;
  TTVExpandingEvent OnCollapsing;
  TTVChangedEvent OnCollapsed;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Relayout();
  void RebuildBackground();
  void MirrorScrollBar();
  void SetHotNode(TreeNodeId node);
  // Selects `node`; by the mouse it also expands it and collapses the old selection.
  void Select(TreeNodeId node, bool byMouse);
  void EnsureVisible(TreeNodeId node);
  bool IsAncestor(TreeNodeId ancestor, TreeNodeId node) const;
  void PaintRow(QPainter& painter, TreeNodeId node, const QRect& row);

  TmTreeModel* model_ = nullptr;
  QPointer<TPNGCustomScrollBar> customBar_;
  TPicture picBG_, picSelectBG_;
  TPicBGStyle picBGStyle_ = TPicBGStyle::pbgs_Normal;
  std::uint32_t standColor_ = 14541022, labelColor_ = 10263708;
  std::uint32_t selectColor_ = 49150, hotColor_ = 1696414;
  std::uint16_t advState_ = 0;
  const TImageList* nodeImages_ = nullptr;
  TImageList stateImages_;
  int itemHeight_ = 18;
  bool rightClickSelect_ = false;
  bool autoExpand_ = true;
  QImage background_;
  TreeNodeId hotNode_ = 0;
  TreeNodeId pressedNode_ = 0;
};

}  // namespace nivra::ui
