#include "signalling/ControlTexts.h"

#include <stdexcept>

TControlTexts::TControlTexts(std::vector<TControlSpec> specs)
    : m_specs(std::move(specs))
{
    for (const TControlSpec &spec : m_specs) {
        if (spec.kind == TControlKind::CheckBox)
            m_checked.insert(spec.name, spec.initialChecked);
        else
            m_texts.insert(spec.name, spec.initialText);
    }
}

const TControlSpec &TControlTexts::Spec(const QString &name) const
{
    for (const TControlSpec &spec : m_specs) {
        if (spec.name == name)
            return spec;
    }
    throw std::out_of_range("no control named " + name.toStdString());
}

QString TControlTexts::Text(const QString &name) const
{
    const auto it = m_texts.constFind(name);
    if (it == m_texts.constEnd())
        throw std::out_of_range("no text control named " + name.toStdString());
    return *it;
}

void TControlTexts::SetText(const QString &name, const QString &text)
{
    const auto it = m_texts.find(name);
    if (it == m_texts.end())
        throw std::out_of_range("no text control named " + name.toStdString());
    const TControlSpec &spec = Spec(name);
    *it = (spec.kind == TControlKind::DropDownList && !spec.items.contains(text)) ? QString() : text;
}

bool TControlTexts::Checked(const QString &name) const
{
    const auto it = m_checked.constFind(name);
    if (it == m_checked.constEnd())
        throw std::out_of_range("no check box named " + name.toStdString());
    return *it;
}

void TControlTexts::SetChecked(const QString &name, bool checked)
{
    const auto it = m_checked.find(name);
    if (it == m_checked.end())
        throw std::out_of_range("no check box named " + name.toStdString());
    *it = checked;
}

QStringList NumberItems(int first, int last, int step)
{
    QStringList items;
    for (int value = first; value <= last; value += step)
        items << QString::number(value);
    return items;
}
