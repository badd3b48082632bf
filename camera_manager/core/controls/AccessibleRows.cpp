#include "camera_manager/core/controls/AccessibleRows.h"

#include <gtk/gtk.h>
#include <wx/window.h>

#include <map>
#include <memory>

namespace {

struct RowsState {
    std::function<std::vector<AccessibleRow>()> rows;
    AtkRole role = ATK_ROLE_LIST_ITEM;
    AtkObject* container = nullptr;  // not owned: the container owns this state
    std::vector<AtkObject*> objects; // one reference each, created when a reader asks
    bool looked = false;             // a reader has asked for the rows
    std::vector<AccessibleRow> told; // what the readers were last told
};

using StatePointer = std::shared_ptr<RowsState>;

const char* const stateKey = "zeko-accessible-rows";

// The row objects: plain ATK objects whose name and state are read from the control.
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

// The container's own children (its child widgets) come first; the rows follow them.
struct ContainerMethods {
    gint (*nChildren)(AtkObject*);
    AtkObject* (*refChild)(AtkObject*, gint);
};

std::map<GType, ContainerMethods>& Patched() {
    static std::map<GType, ContainerMethods> patched;
    return patched;
}

const ContainerMethods& OriginalOf(AtkObject* object) {
    // A class derived from a patched one after the patch inherits the replacements.
    for (GType type = G_OBJECT_TYPE(object); type; type = g_type_parent(type)) {
        const auto found = Patched().find(type);
        if (found != Patched().end())
            return found->second;
    }
    static const ContainerMethods none{};
    return none;
}

gint OwnChildren(AtkObject* container) {
    const ContainerMethods& original = OriginalOf(container);
    return original.nChildren ? original.nChildren(container) : 0;
}

RowsState* StateOf(AtkObject* container) {
    auto* state = static_cast<StatePointer*>(g_object_get_data(G_OBJECT(container), stateKey));
    return state ? state->get() : nullptr;
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
    if (index < own) {
        const ContainerMethods& original = OriginalOf(container);
        return original.refChild ? original.refChild(container, index) : nullptr;
    }
    auto* state = static_cast<StatePointer*>(g_object_get_data(G_OBJECT(container), stateKey));
    if (!state)
        return nullptr;
    const std::vector<AccessibleRow> rows = LookedAt(**state);
    const size_t row = static_cast<size_t>(index - own);
    if (row >= rows.size())
        return nullptr;
    CreateObjects(*state, rows.size());
    return ATK_OBJECT(g_object_ref((*state)->objects[row]));
}

void Patch(AtkObject* container) {
    const GType type = G_OBJECT_TYPE(container);
    if (Patched().count(type))
        return;
    AtkObjectClass* klass = ATK_OBJECT_GET_CLASS(container);
    Patched()[type] = {klass->get_n_children, klass->ref_child};
    klass->get_n_children = ContainerChildren;
    klass->ref_child = ContainerChild;
}

std::vector<AccessibleRow> RowsOf(const RowObject* row) {
    return row->state ? CurrentRows(**row->state) : std::vector<AccessibleRow>{};
}

const gchar* RowName(AtkObject* object) {
    auto* row = reinterpret_cast<RowObject*>(object);
    const std::vector<AccessibleRow> rows = RowsOf(row);
    g_free(row->name);
    row->name = g_strdup(static_cast<size_t>(row->index) < rows.size()
                             ? rows[static_cast<size_t>(row->index)].name.utf8_str().data()
                             : "");
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
    const std::vector<AccessibleRow> rows = RowsOf(row);
    if (static_cast<size_t>(row->index) >= rows.size()) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    const AccessibleRow& shown = rows[static_cast<size_t>(row->index)];
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
    G_OBJECT_CLASS(klass)->finalize = RowFinalize;
}

void RowInit(GTypeInstance* instance, gpointer) {
    auto* row = reinterpret_cast<RowObject*>(instance);
    row->state = nullptr;
    row->index = 0;
    row->name = nullptr;
}

GType RowObjectType() {
    static const GType type =
        g_type_register_static_simple(ATK_TYPE_OBJECT, "ZekoAccessibleRow", sizeof(RowObjectClass),
                                      RowClassInit, sizeof(RowObject), RowInit, GTypeFlags(0));
    return type;
}

void DropState(gpointer data) {
    auto* state = static_cast<StatePointer*>(data);
    for (AtkObject* object : (*state)->objects)
        g_object_unref(object);
    (*state)->objects.clear();
    (*state)->rows = nullptr;
    (*state)->container = nullptr;
    delete state;
}

// The widget that paints the rows and takes the focus (a scrolled window's inner widget).
GtkWidget* FocusWidget(wxWindow* window) {
    if (!window)
        return nullptr;
    return window->m_wxwindow ? window->m_wxwindow : window->m_widget;
}

} // namespace

void SetAccessibleRows(wxWindow* window, AccessibleRowKind kind,
                       std::function<std::vector<AccessibleRow>()> rows) {
    GtkWidget* widget = FocusWidget(window);
    AtkObject* container = widget ? gtk_widget_get_accessible(widget) : nullptr;
    if (!container)
        return;
    auto state = std::make_shared<RowsState>();
    state->rows = std::move(rows);
    state->role = kind == AccessibleRowKind::TreeItem ? ATK_ROLE_TREE_ITEM : ATK_ROLE_LIST_ITEM;
    state->container = container;
    atk_object_set_role(container, kind == AccessibleRowKind::TreeItem ? ATK_ROLE_TREE : ATK_ROLE_LIST);
    Patch(container);
    g_object_set_data_full(G_OBJECT(container), stateKey, new StatePointer(state), DropState);
}

namespace {

StatePointer* InstalledState(wxWindow* window, AtkObject** container) {
    GtkWidget* widget = FocusWidget(window);
    *container = widget ? gtk_widget_get_accessible(widget) : nullptr;
    return *container ? static_cast<StatePointer*>(g_object_get_data(G_OBJECT(*container), stateKey))
                      : nullptr;
}

} // namespace

void ForgetAccessibleRows(wxWindow* window) {
    AtkObject* container = nullptr;
    if (StatePointer* state = InstalledState(window, &container))
        (*state)->rows = nullptr;
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
