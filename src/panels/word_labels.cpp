#include <brindle/panels/word_labels.h>

#include <brindle/panels/drop_down_edits.h>
#include <brindle/panels/drop_down_list_box.h>

namespace brindle {

namespace {

std::unique_ptr<TDropDownLabel> makeLabel(TWordEditor editor, QWidget* parent)
{
    switch (editor) {
    case weEdit:
        return std::make_unique<TDropDownEdit>(parent);
    case weMaskEdit:
        return std::make_unique<TDropDownMaskEdit>(parent);
    case weDateTime:
        return std::make_unique<TDropDownDateTimeEdit>(parent);
    case wePopup:
        return std::make_unique<TDropDownPopup>(parent);
    case weListBox:
        return std::make_unique<TDropDownListBox>(parent);
    case weCheckList:
        return std::make_unique<TDropDownCheckListBox>(parent);
    case weNone:
    case weCustom:
        break;
    }
    return std::make_unique<TDropDownLabel>(parent);
}

} // namespace

std::unique_ptr<TDropDownLabel> CreateWordLabel(TQueryWord& word, QWidget* parent)
{
    std::unique_ptr<TDropDownLabel> label = makeLabel(word.Editor(), parent);
    label->BindWord(&word);
    return label;
}

bool LabelFitsEditor(const TDropDownLabel& label, TWordEditor editor)
{
    const QMetaObject* wanted = nullptr;
    switch (editor) {
    case weEdit:
        wanted = &TDropDownEdit::staticMetaObject;
        break;
    case weMaskEdit:
        wanted = &TDropDownMaskEdit::staticMetaObject;
        break;
    case weDateTime:
        wanted = &TDropDownDateTimeEdit::staticMetaObject;
        break;
    case wePopup:
        wanted = &TDropDownPopup::staticMetaObject;
        break;
    case weListBox:
        wanted = &TDropDownListBox::staticMetaObject;
        break;
    case weCheckList:
        wanted = &TDropDownCheckListBox::staticMetaObject;
        break;
    case weNone:
    case weCustom:
        wanted = &TDropDownLabel::staticMetaObject;
        break;
    }
    return label.metaObject() == wanted;
}

} // namespace brindle
