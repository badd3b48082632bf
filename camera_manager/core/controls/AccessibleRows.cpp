#include "camera_manager/core/controls/AccessibleRows.h"

#include <gtk/gtk-a11y.h>
#include <gtk/gtk.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <cstring>
#include <map>
#include <memory>

namespace {

struct RowsState {
    std::function<std::vector<AccessibleRow>()> rows;
    wxWindow* window = nullptr; // cleared with `rows`
    AtkRole role = ATK_ROLE_LIST_ITEM;
    AtkObject* container = nullptr;  // not owned: the container owns this state
    std::vector<AtkObject*> objects; // one reference each, created when a reader asks
    bool looked = false;             // a reader has asked for the rows
    std::vector<AccessibleRow> told; // what the readers were last told
};

using StatePointer = std::shared_ptr<RowsState>;

const char* const stateKey = "zeko-accessible-rows";
const char* const ownAccessibleKey = "zeko-own-accessible";

// ---- The container: GTK's container object with the rows after its own children. ----

struct RowsContainer {
    GtkContainerAccessible parent;
};

struct RowsContainerClass {
    GtkContainerAccessibleClass parentClass;
};

AtkObjectClass* containerParentClass = nullptr;

RowsState* StateOf(AtkObject* container) {
    auto* state = static_cast<StatePointer*>(g_object_get_data(G_OBJECT(container), stateKey));
    return state ? state->get() : nullptr;
}

StatePointer* StatePointerOf(AtkObject* container) {
    return container ? static_cast<StatePointer*>(g_object_get_data(G_OBJECT(container), stateKey)) : nullptr;
}

gint OwnChildren(AtkObject* container) {
    return containerParentClass->get_n_children(container);
}

std::vector<AccessibleRow> CurrentRows(RowsState& state) {
    if (!state.rows || !state.container)
        return {};
    return state.rows();
}

std::vector<AccessibleRow> LookedAt(RowsState& state) {
    std::vector<AccessibleRow> rows = CurrentRows(state);
    if (!state.looked)
        state.told = rows;
    state.looked = true;
    return rows;
}

GType RowObjectType();

struct RowObject {
    AtkObject parent;
    StatePointer* state;
    int index;
    gchar* name;
};

struct RowObjectClass {
    AtkObjectClass parentClass;
};

AtkObjectClass* rowParentClass = nullptr;

void CreateObjects(const StatePointer& state, size_t count) {
    while (state->objects.size() < count) {
        auto* row = static_cast<RowObject*>(g_object_new(RowObjectType(), nullptr));
        row->state = new StatePointer(state);
        row->index = static_cast<int>(state->objects.size());
        atk_object_set_role(&row->parent, state->role);
        state->objects.push_back(&row->parent);
    }
}

gint ContainerChildren(AtkObject* container) {
    const gint own = OwnChildren(container);
    RowsState* state = StateOf(container);
    return state ? own + static_cast<gint>(LookedAt(*state).size()) : own;
}

AtkObject* ContainerChild(AtkObject* container, gint index) {
    const gint own = OwnChildren(container);
    if (index < 0)
        return nullptr;
    if (index < own)
        return containerParentClass->ref_child(container, index);
    StatePointer* state = StatePointerOf(container);
    if (!state)
        return nullptr;
    const std::vector<AccessibleRow> rows = LookedAt(**state);
    const size_t row = static_cast<size_t>(index - own);
    if (row >= rows.size())
        return nullptr;
    CreateObjects(*state, rows.size());
    return ATK_OBJECT(g_object_ref((*state)->objects[row]));
}

void DropState(gpointer data) {
    auto* state = static_cast<StatePointer*>(data);
    for (AtkObject* object : (*state)->objects)
        g_object_unref(object);
    (*state)->objects.clear();
    (*state)->rows = nullptr;
    (*state)->window = nullptr;
    (*state)->container = nullptr;
    delete state;
}

void ContainerClassInit(gpointer klass, gpointer) {
    containerParentClass = ATK_OBJECT_CLASS(g_type_class_peek_parent(klass));
    auto* atk = ATK_OBJECT_CLASS(klass);
    atk->get_n_children = ContainerChildren;
    atk->ref_child = ContainerChild;
}

GType ContainerType() {
    static const GType type = g_type_register_static_simple(
        GTK_TYPE_CONTAINER_ACCESSIBLE, "ZekoAccessibleRows", sizeof(RowsContainerClass), ContainerClassInit,
        sizeof(RowsContainer), nullptr, GTypeFlags(0));
    return type;
}

// ---- The rows. ----

bool RowAt(const RowObject* row, AccessibleRow& shown) {
    if (!row->state)
        return false;
    const std::vector<AccessibleRow> rows = CurrentRows(**row->state);
    if (row->index < 0 || static_cast<size_t>(row->index) >= rows.size())
        return false;
    shown = rows[static_cast<size_t>(row->index)];
    return true;
}

const gchar* RowName(AtkObject* object) {
    auto* row = reinterpret_cast<RowObject*>(object);
    AccessibleRow shown;
    g_free(row->name);
    row->name = g_strdup(RowAt(row, shown) ? shown.name.utf8_str().data() : "");
    return row->name;
}

AtkObject* RowParent(AtkObject* object) {
    auto* row = reinterpret_cast<RowObject*>(object);
    return row->state ? (*row->state)->container : nullptr;
}

gint RowIndex(AtkObject* object) {
    auto* row = reinterpret_cast<RowObject*>(object);
    AtkObject* container = RowParent(object);
    return container ? OwnChildren(container) + row->index : -1;
}

AtkStateSet* RowStates(AtkObject* object) {
    auto* row = reinterpret_cast<RowObject*>(object);
    AtkStateSet* set = atk_state_set_new();
    AccessibleRow shown;
    if (!RowAt(row, shown)) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    for (AtkStateType s : {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_SELECTABLE, ATK_STATE_TRANSIENT})
        atk_state_set_add_state(set, s);
    // A hidden control's rows are there but not shown (the tree outside expert mode).
    AtkObject* container = RowParent(object);
    GtkWidget* widget = container ? gtk_accessible_get_widget(GTK_ACCESSIBLE(container)) : nullptr;
    if (widget && gtk_widget_get_mapped(widget)) {
        atk_state_set_add_state(set, ATK_STATE_VISIBLE);
        atk_state_set_add_state(set, ATK_STATE_SHOWING);
    }
    if (shown.selected)
        atk_state_set_add_state(set, ATK_STATE_SELECTED);
    if (shown.expandable)
        atk_state_set_add_state(set, ATK_STATE_EXPANDABLE);
    if (shown.expanded)
        atk_state_set_add_state(set, ATK_STATE_EXPANDED);
    return set;
}

// The tree level as readers take it from a tree row: the "level" attribute, and the row of the
// branch through the node-child-of relation.
AtkAttributeSet* RowAttributes(AtkObject* object) {
    AccessibleRow shown;
    if (!RowAt(reinterpret_cast<RowObject*>(object), shown) || shown.level <= 0)
        return nullptr;
    auto* attribute = static_cast<AtkAttribute*>(g_malloc(sizeof(AtkAttribute)));
    attribute->name = g_strdup("level");
    attribute->value = g_strdup_printf("%d", shown.level);
    return g_slist_prepend(nullptr, attribute);
}

AtkRelationSet* RowRelations(AtkObject* object) {
    auto* row = reinterpret_cast<RowObject*>(object);
    AtkRelationSet* set = atk_relation_set_new();
    AccessibleRow shown;
    if (!RowAt(row, shown) || shown.parentRow < 0 || shown.parentRow == row->index)
        return set;
    const StatePointer& state = *row->state;
    CreateObjects(state, static_cast<size_t>(shown.parentRow) + 1);
    AtkObject* targets[] = {state->objects[static_cast<size_t>(shown.parentRow)]};
    AtkRelation* relation = atk_relation_new(targets, 1, ATK_RELATION_NODE_CHILD_OF);
    atk_relation_set_add(set, relation);
    g_object_unref(relation);
    return set;
}

void RowExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height, AtkCoordType coords) {
    auto* row = reinterpret_cast<RowObject*>(component);
    *x = *y = *width = *height = 0;
    AccessibleRow shown;
    if (!RowAt(row, shown) || !(*row->state)->window)
        return;
    wxWindow* window = (*row->state)->window;
    wxPoint at = shown.area.GetPosition();
    if (coords == ATK_XY_SCREEN) {
        at = window->ClientToScreen(at);
    } else if (coords == ATK_XY_WINDOW) {
        at = window->ClientToScreen(at);
        if (const wxWindow* top = wxGetTopLevelParent(window))
            at -= top->ClientToScreen(wxPoint(0, 0));
    }
    *x = at.x;
    *y = at.y;
    *width = shown.area.GetWidth();
    *height = shown.area.GetHeight();
}

void RowComponentInit(gpointer iface, gpointer) {
    static_cast<AtkComponentIface*>(iface)->get_extents = RowExtents;
}

void RowFinalize(GObject* object) {
    auto* row = reinterpret_cast<RowObject*>(object);
    delete row->state;
    row->state = nullptr;
    g_free(row->name);
    G_OBJECT_CLASS(rowParentClass)->finalize(object);
}

void RowClassInit(gpointer klass, gpointer) {
    rowParentClass = ATK_OBJECT_CLASS(g_type_class_peek_parent(klass));
    auto* atk = ATK_OBJECT_CLASS(klass);
    atk->get_name = RowName;
    atk->get_parent = RowParent;
    atk->get_index_in_parent = RowIndex;
    atk->ref_state_set = RowStates;
    atk->get_attributes = RowAttributes;
    atk->ref_relation_set = RowRelations;
    G_OBJECT_CLASS(klass)->finalize = RowFinalize;
}

void RowInit(GTypeInstance* instance, gpointer) {
    auto* row = reinterpret_cast<RowObject*>(instance);
    row->state = nullptr;
    row->index = 0;
    row->name = nullptr;
}

GType RowObjectType() {
    static const GType type = [] {
        const GType t =
            g_type_register_static_simple(ATK_TYPE_OBJECT, "ZekoAccessibleRow", sizeof(RowObjectClass),
                                          RowClassInit, sizeof(RowObject), RowInit, GTypeFlags(0));
        const GInterfaceInfo component{RowComponentInit, nullptr, nullptr};
        g_type_add_interface_static(t, ATK_TYPE_COMPONENT, &component);
        return t;
    }();
    return type;
}

// ---- Handing the container to the readers. ----

// wx's drawing area, the widget class of every wx window that paints itself, asks this before
// it makes its usual accessible object: a control that has rows answers with its own. Only wx's
// class is touched, never one that a GTK widget uses, and every other wx window gets what GTK
// gives it.
using AccessibleGetter = AtkObject* (*)(GtkWidget*);

std::map<GType, AccessibleGetter>& Originals() {
    static std::map<GType, AccessibleGetter> originals;
    return originals;
}

AtkObject* OwnOrUsualAccessible(GtkWidget* widget) {
    if (auto* own = static_cast<AtkObject*>(g_object_get_data(G_OBJECT(widget), ownAccessibleKey)))
        return own;
    for (GType type = G_OBJECT_TYPE(widget); type; type = g_type_parent(type)) {
        const auto found = Originals().find(type);
        if (found != Originals().end())
            return found->second(widget);
    }
    return nullptr;
}

bool AnswerForOwnAccessibles(GtkWidget* widget) {
    const GType type = G_OBJECT_TYPE(widget);
    if (Originals().count(type))
        return true;
    // Only wx's own drawing area.
    if (std::strcmp(g_type_name(type), "wxPizza") != 0)
        return false;
    auto* klass = GTK_WIDGET_GET_CLASS(widget);
    Originals()[type] = klass->get_accessible;
    klass->get_accessible = OwnOrUsualAccessible;
    return true;
}

void ReleaseOwnAccessible(gpointer data) {
    auto* accessible = static_cast<AtkObject*>(data);
    if (RowsState* state = StateOf(accessible)) {
        state->rows = nullptr;
        state->window = nullptr;
    }
    gtk_accessible_set_widget(GTK_ACCESSIBLE(accessible), nullptr);
    g_object_unref(accessible);
}

void OnWidgetDestroy(GtkWidget* widget, gpointer) {
    // Readers may keep the object a while longer: it then has no widget and no rows.
    g_object_set_data(G_OBJECT(widget), ownAccessibleKey, nullptr);
}

// The widget that paints the rows and takes the focus (a scrolled window's inner widget).
GtkWidget* FocusWidget(wxWindow* window) {
    if (!window)
        return nullptr;
    return window->m_wxwindow ? window->m_wxwindow : window->m_widget;
}

StatePointer* InstalledState(wxWindow* window, AtkObject** container) {
    GtkWidget* widget = FocusWidget(window);
    *container =
        widget ? static_cast<AtkObject*>(g_object_get_data(G_OBJECT(widget), ownAccessibleKey)) : nullptr;
    return StatePointerOf(*container);
}

} // namespace

void SetAccessibleRows(wxWindow* window, AccessibleRowKind kind,
                       std::function<std::vector<AccessibleRow>()> rows) {
    GtkWidget* widget = FocusWidget(window);
    if (!widget || g_object_get_data(G_OBJECT(widget), ownAccessibleKey) || !AnswerForOwnAccessibles(widget))
        return;
    AtkObject* container = ATK_OBJECT(g_object_new(ContainerType(), "widget", widget, nullptr));
    atk_object_initialize(container, widget);
    atk_object_set_role(container, kind == AccessibleRowKind::TreeItem ? ATK_ROLE_TREE : ATK_ROLE_LIST);
    auto state = std::make_shared<RowsState>();
    state->rows = std::move(rows);
    state->window = window;
    state->role = kind == AccessibleRowKind::TreeItem ? ATK_ROLE_TREE_ITEM : ATK_ROLE_LIST_ITEM;
    state->container = container;
    g_object_set_data_full(G_OBJECT(container), stateKey, new StatePointer(state), DropState);
    g_object_set_data_full(G_OBJECT(widget), ownAccessibleKey, container, ReleaseOwnAccessible);
    g_signal_connect(widget, "destroy", G_CALLBACK(OnWidgetDestroy), nullptr);
}

void ForgetAccessibleRows(wxWindow* window) {
    AtkObject* container = nullptr;
    if (StatePointer* state = InstalledState(window, &container)) {
        (*state)->rows = nullptr;
        (*state)->window = nullptr;
    }
}

void NotifyAccessibleRows(wxWindow* window) {
    AtkObject* container = nullptr;
    StatePointer* pointer = InstalledState(window, &container);
    // Nothing to tell before a reader has looked at the rows.
    if (!pointer || !(*pointer)->looked)
        return;
    const StatePointer& state = *pointer;
    const std::vector<AccessibleRow> rows = CurrentRows(*state);
    const std::vector<AccessibleRow> told = std::move(state->told);
    state->told = rows;
    const gint own = OwnChildren(container);
    for (size_t i = rows.size(); i < told.size(); ++i)
        if (i < state->objects.size())
            g_signal_emit_by_name(container, "children-changed::remove", own + gint(i), state->objects[i]);
    CreateObjects(state, rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        AtkObject* row = state->objects[i];
        if (i >= told.size()) {
            g_signal_emit_by_name(container, "children-changed::add", own + gint(i), row);
            continue;
        }
        if (rows[i].name != told[i].name)
            g_object_notify(G_OBJECT(row), "accessible-name");
        if (rows[i].expanded != told[i].expanded)
            atk_object_notify_state_change(row, ATK_STATE_EXPANDED, rows[i].expanded);
        if (rows[i].selected != told[i].selected) {
            atk_object_notify_state_change(row, ATK_STATE_SELECTED, rows[i].selected);
            if (rows[i].selected)
                g_signal_emit_by_name(container, "active-descendant-changed", row);
        }
    }
}
