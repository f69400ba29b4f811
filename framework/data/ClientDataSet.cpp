#include "framework/data/ClientDataSet.h"

#include "framework/data/DataSource.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/NumberFormat.h"

#include <QDate>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const QVariant& nullValue() {
    static const QVariant v;
    return v;
}

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

// Order of two values of one field: null first, numbers by value, texts by code point, dates
// by day.
int compareValues(TFieldType t, const QVariant& a, const QVariant& b) {
    const bool na = isNull(a), nb = isNull(b);
    if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double) {
        const double x = *static_cast<const double*>(a.constData());
        const double y = *static_cast<const double*>(b.constData());
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    switch (t) {
    case TFieldType::Float:
    case TFieldType::Integer: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case TFieldType::Date: {
        const QDate x = a.toDate(), y = b.toDate();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case TFieldType::String:
        break;
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseSensitive);
}

// Restores the field-access context however a calculation or a drawing pass ends.
struct ContextGuard {
    const QVector<QVariant>*& data;
    const QVector<QVariant>*& calc;
    QVector<QVariant>** target;
    const QVector<QVariant>* savedData;
    const QVector<QVariant>* savedCalc;
    QVector<QVariant>* savedTarget;
    ContextGuard(const QVector<QVariant>*& d, const QVector<QVariant>*& c, QVector<QVariant>** t)
        : data(d), calc(c), target(t), savedData(d), savedCalc(c), savedTarget(t ? *t : nullptr) {}
    ~ContextGuard() {
        data = savedData;
        calc = savedCalc;
        if (target) *target = savedTarget;
    }
};

} // namespace

TClientDataSet::TClientDataSet(const QString& name) : name_(name) {}

TClientDataSet::~TClientDataSet() {
    const auto sources = sources_;
    for (TDataSource* s : sources)
        s->dataSetDestroyed();
}

QString TClientDataSet::Name() const {
    return name_;
}

void TClientDataSet::SetName(const QString& name) {
    name_ = name;
}

QString TClientDataSet::label() const {
    return name_.isEmpty() ? QStringLiteral("(sem nome)") : name_;
}

void TClientDataSet::fail(const QString& message) const {
    throw EDatabaseError(message);
}

// ---- fields ---------------------------------------------------------------------------------

TField& TClientDataSet::AddField(const TFieldDef& def) {
    if (state_ != TDataSetState::Inactive)
        fail(QStringLiteral("Não é possível definir campos com o conjunto de dados '%1' aberto.")
                 .arg(label()));
    if (def.Name.trimmed().isEmpty())
        fail(QStringLiteral("Campo sem nome no conjunto de dados '%1'.").arg(label()));
    const QString key = def.Name.toUpper();
    if (byName_.contains(key))
        fail(QStringLiteral("Campo '%1' já definido no conjunto de dados '%2'.")
                 .arg(def.Name, label()));
    const int index = int(fields_.size());
    fields_.push_back(std::unique_ptr<TField>(new TField(*this, index, def)));
    byName_.insert(key, index);
    slotOf_.append(def.Kind == TFieldKind::Data ? dataCount_++ : calcCount_++);
    return *fields_.back();
}

TField* TClientDataSet::FindField(const QString& name) const {
    const auto it = byName_.constFind(name.toUpper());
    return it == byName_.constEnd() ? nullptr : fields_[*it].get();
}

TField& TClientDataSet::FieldByName(const QString& name) const {
    TField* f = FindField(name);
    if (!f)
        fail(QStringLiteral("Campo '%1' não encontrado no conjunto de dados '%2'.")
                 .arg(name, label()));
    return *f;
}

int TClientDataSet::FieldCount() const {
    return int(fields_.size());
}

TField& TClientDataSet::Fields(int i) const {
    if (i < 0 || i >= FieldCount())
        fail(QStringLiteral("Índice de campo %1 fora dos limites no conjunto de dados '%2'.")
                 .arg(i)
                 .arg(label()));
    return *fields_[i];
}

const QVariant& TClientDataSet::readValue(int fieldIndex) const {
    const bool calc = fields_[fieldIndex]->FieldKind() == TFieldKind::Calculated;
    const int slot = slotOf_[fieldIndex];
    const Row* row = nullptr;
    if (ctxData_) {
        row = calc ? ctxCalc_ : ctxData_;
    } else if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) {
        row = calc ? &bufCalc_ : &buf_;
    } else if (state_ == TDataSetState::Browse && cur_ >= 0 && vis_[cur_] >= 0) {
        const int s = vis_[cur_];
        row = calc ? &calcs_[s] : &rows_[s];
    }
    if (!row || slot >= row->size()) return nullValue();
    return (*row)[slot];
}

void TClientDataSet::writeValue(TField& f, const QVariant& v) {
    const bool calc = f.FieldKind() == TFieldKind::Calculated;
    const int slot = slotOf_[f.Index()];
    Row* row = nullptr;
    if (calcTarget_) {
        if (calc) row = calcTarget_;
    } else if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) {
        row = calc ? &bufCalc_ : &buf_;
    }
    if (!row)
        fail(QStringLiteral("Não é possível alterar o campo '%1': o conjunto de dados '%2' não "
                            "está em modo de edição ou inclusão.")
                 .arg(f.FieldName(), label()));
    const QVariant converted = f.convert(v);
    if (row->size() <= slot) row->resize(slot + 1);
    (*row)[slot] = converted;
    if (calcTarget_) return; // values set while calculating raise nothing
    if (!calc) calculate(buf_, bufCalc_);
    f.OnChange(f);
    notify(TDataChange::Field, &f);
}

void TClientDataSet::calculate(const Row& data, Row& calc) {
    if (calcCount_ == 0) return;
    calc = Row(calcCount_);
    if (!OnCalcFields) return;
    ContextGuard guard(ctxData_, ctxCalc_, &calcTarget_);
    ctxData_ = &data;
    ctxCalc_ = &calc;
    calcTarget_ = &calc;
    OnCalcFields(*this);
}

// ---- state and notifications ----------------------------------------------------------------

bool TClientDataSet::Active() const {
    return state_ != TDataSetState::Inactive;
}

bool TClientDataSet::Editing() const {
    return State() == TDataSetState::Edit || State() == TDataSetState::Insert;
}

TDataSetState TClientDataSet::State() const {
    return state_;
}

void TClientDataSet::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
}

bool TClientDataSet::ReadOnly() const {
    return readOnly_;
}

void TClientDataSet::checkActive(const QString& operation) const {
    if (state_ == TDataSetState::Inactive)
        fail(QStringLiteral("Não é possível %1: o conjunto de dados '%2' não está aberto.")
                 .arg(operation, label()));
}

void TClientDataSet::checkWritable(const QString& operation) const {
    if (readOnly_)
        fail(QStringLiteral("Não é possível %1: o conjunto de dados '%2' é somente leitura.")
                 .arg(operation, label()));
}

void TClientDataSet::checkBrowseMode() {
    if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) Post();
}

void TClientDataSet::notify(TDataChange change, TField* field) {
    if (disableCount_ > 0 || listeners_.empty()) return;
    const auto listeners = listeners_; // a listener may remove itself
    for (const Listener& l : listeners)
        l.fn(change, field);
}

void TClientDataSet::setState(TDataSetState s) {
    if (s == state_) return;
    state_ = s;
    notify(TDataChange::State);
}

int TClientDataSet::AddChangeListener(std::function<void(TDataChange, TField*)> listener) {
    const int id = nextListener_++;
    listeners_.push_back({id, std::move(listener)});
    return id;
}

void TClientDataSet::RemoveChangeListener(int id) {
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [id](const Listener& l) { return l.id == id; }),
                     listeners_.end());
}

void TClientDataSet::DisableControls() {
    if (disableCount_ == 0) disableState_ = state_;
    ++disableCount_;
}

void TClientDataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ > 0) return;
    if (disableState_ != state_) notify(TDataChange::State);
    if (disableState_ != TDataSetState::Inactive && state_ != TDataSetState::Inactive)
        notify(TDataChange::DataSet);
}

bool TClientDataSet::ControlsDisabled() const {
    return disableCount_ > 0;
}

// ---- index and filter -----------------------------------------------------------------------

std::optional<pla::FilterColumn> TClientDataSet::resolveColumn(const QString& name) const {
    const TField* f = FindField(name);
    if (!f) return std::nullopt;
    pla::FilterColumn c;
    c.slot = slotOf_[f->Index()];
    c.calculated = f->FieldKind() == TFieldKind::Calculated;
    c.type = f->DataType();
    return c;
}

void TClientDataSet::bindFilter(pla::FilterExpression& e) const {
    try {
        e.Bind([this](const QString& n) { return resolveColumn(n); });
    } catch (const EDatabaseError& err) {
        fail(err.Message().chopped(1) + QStringLiteral(" no conjunto de dados '%1'.").arg(label()));
    }
}

void TClientDataSet::rebuildIndexKeys() {
    indexSlots_.clear();
    indexCalc_.clear();
    indexTypes_.clear();
    const QStringList names = indexNames_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& raw : names) {
        const QString n = raw.trimmed();
        if (n.isEmpty()) continue;
        const TField& f = FieldByName(n);
        indexSlots_.append(slotOf_[f.Index()]);
        indexCalc_.append(f.FieldKind() == TFieldKind::Calculated);
        indexTypes_.append(f.DataType());
    }
}

bool TClientDataSet::lessByIndex(const Row& ad, const Row& ac, const Row& bd, const Row& bc) const {
    for (int k = 0; k < indexSlots_.size(); ++k) {
        const Row& a = indexCalc_[k] ? ac : ad;
        const Row& b = indexCalc_[k] ? bc : bd;
        const int s = indexSlots_[k];
        const int c = compareValues(indexTypes_[k], s < a.size() ? a[s] : nullValue(),
                                    s < b.size() ? b[s] : nullValue());
        if (c != 0) return c < 0;
    }
    return false;
}

int TClientDataSet::sortedPosition(const Row& data, const Row& calc) const {
    // After every record with an equal key, so that equal keys keep their arrival order.
    int lo = 0, hi = int(rows_.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (lessByIndex(data, calc, rows_[mid], calcs_[mid]))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

void TClientDataSet::sortRows() {
    if (indexSlots_.isEmpty() || rows_.size() < 2) return;
    bool sorted = true; // packets usually arrive in index order already
    for (int i = 1; sorted && i < rows_.size(); ++i)
        sorted = !lessByIndex(rows_[i], calcs_[i], rows_[i - 1], calcs_[i - 1]);
    if (sorted) return;
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return lessByIndex(rows_[a], calcs_[a], rows_[b], calcs_[b]);
    });
    QVector<Row> rows(rows_.size()), calcs(rows_.size());
    std::vector<char> match(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        rows[i] = rows_[order[i]];
        calcs[i] = calcs_[order[i]];
        match[i] = match_.empty() ? 1 : match_[order[i]];
    }
    rows_ = std::move(rows);
    calcs_ = std::move(calcs);
    match_ = std::move(match);
}

bool TClientDataSet::filterActive() const {
    return filtered_ && !filter_.IsEmpty();
}

bool TClientDataSet::matches(int s) const {
    if (!filterActive()) return true;
    return filter_.Matches(rows_[s], calcCount_ ? &calcs_[s] : nullptr);
}

void TClientDataSet::recomputeMatches() {
    match_.assign(size_t(rows_.size()), 1);
    if (!filterActive()) return;
    for (int i = 0; i < rows_.size(); ++i)
        match_[i] = matches(i) ? 1 : 0;
}

void TClientDataSet::rebuildVisible(int focusStorage) {
    vis_.clear();
    vis_.reserve(size_t(rows_.size()));
    for (int i = 0; i < rows_.size(); ++i)
        if (match_[i]) vis_.push_back(i);
    if (vis_.empty()) {
        cur_ = -1;
        return;
    }
    if (focusStorage < 0) {
        cur_ = 0;
        return;
    }
    const auto it = std::lower_bound(vis_.begin(), vis_.end(), focusStorage);
    cur_ = it == vis_.end() ? int(vis_.size()) - 1 : int(it - vis_.begin());
}

int TClientDataSet::storageOfCurrent() const {
    return cur_ >= 0 && cur_ < int(vis_.size()) ? vis_[cur_] : -1;
}

QString TClientDataSet::IndexFieldNames() const {
    return indexNames_;
}

void TClientDataSet::SetIndexFieldNames(const QString& names) {
    const QString old = indexNames_;
    indexNames_ = names;
    try {
        if (!fields_.empty()) rebuildIndexKeys();
    } catch (...) {
        indexNames_ = old;
        rebuildIndexKeys();
        throw;
    }
    if (!Active()) return;
    checkBrowseMode();
    const int current = storageOfCurrent();
    // Track the current record through the sort by marking it.
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    if (!indexSlots_.isEmpty())
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return lessByIndex(rows_[a], calcs_[a], rows_[b], calcs_[b]);
        });
    int newCurrent = -1;
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] == current) newCurrent = int(i);
    sortRows();
    rebuildVisible(newCurrent);
    notify(TDataChange::DataSet);
}

QString TClientDataSet::Filter() const {
    return filterText_;
}

bool TClientDataSet::Filtered() const {
    return filtered_;
}

void TClientDataSet::applyFilterMove() {
    recomputeMatches();
    rebuildVisible(-1);
    bof_ = true;
    eof_ = vis_.empty();
    notify(TDataChange::DataSet);
}

void TClientDataSet::SetFilter(const QString& text) {
    pla::FilterExpression e = pla::FilterExpression::Parse(text);
    if (!fields_.empty()) bindFilter(e);
    const bool moves = Active() && filtered_;
    if (moves) {
        checkBrowseMode();
        BeforeScroll(*this);
    }
    filterText_ = text;
    filter_ = std::move(e);
    if (!moves) return;
    applyFilterMove();
    AfterScroll(*this);
}

void TClientDataSet::SetFiltered(bool on) {
    if (on == filtered_) return;
    if (on && !filter_.IsBound() && !fields_.empty()) bindFilter(filter_);
    if (!Active()) {
        filtered_ = on;
        return;
    }
    checkBrowseMode();
    BeforeScroll(*this);
    filtered_ = on;
    applyFilterMove();
    AfterScroll(*this);
}

// ---- opening, closing, loading ---------------------------------------------------------------

void TClientDataSet::prepareActivation() {
    rebuildIndexKeys();
    if (!filter_.IsBound()) bindFilter(filter_);
}

void TClientDataSet::CreateDataSet() {
    if (fields_.empty())
        fail(QStringLiteral("O conjunto de dados '%1' não tem campos definidos.").arg(label()));
    prepareActivation();
    dropContent();
    setState(TDataSetState::Browse);
    notify(TDataChange::DataSet);
}

void TClientDataSet::dropContent() {
    rows_.clear();
    calcs_.clear();
    match_.clear();
    vis_.clear();
    cur_ = -1;
    bof_ = eof_ = true;
    buf_.clear();
    bufCalc_.clear();
    editStorage_ = insertAt_ = beforeInsertStorage_ = -1;
}

void TClientDataSet::Close() {
    dropContent();
    setState(TDataSetState::Inactive);
}

void TClientDataSet::EmptyDataSet() {
    if (!Active()) {
        CreateDataSet();
        return;
    }
    dropContent();
    setState(TDataSetState::Browse);
    notify(TDataChange::DataSet);
}

TDataPacket TClientDataSet::Data() const {
    TDataPacket p;
    p.Fields.reserve(dataCount_);
    for (const auto& f : fields_) {
        if (f->FieldKind() != TFieldKind::Data) continue;
        p.Fields.append({f->FieldName(), f->DataType(), f->Size(), true});
    }
    p.Rows = rows_;
    return p;
}

void TClientDataSet::SetData(const TDataPacket& p) {
    const int nf = int(p.Fields.size());
    for (int r = 0; r < p.Rows.size(); ++r)
        if (p.Rows[r].size() != nf)
            fail(
                QStringLiteral("Pacote de dados inválido: a linha %1 tem %2 valores; esperados %3.")
                    .arg(r + 1)
                    .arg(p.Rows[r].size())
                    .arg(nf));

    // A set without fields takes the packet's.
    const bool adoptFields = fields_.empty();
    std::vector<TFieldDef> adopted;
    if (adoptFields) {
        QSet<QString> seen;
        for (const TPacketField& pf : p.Fields) {
            if (pf.Name.trimmed().isEmpty() || seen.contains(pf.Name.toUpper()))
                fail(QStringLiteral("Pacote de dados inválido: campo '%1' repetido ou sem nome.")
                         .arg(pf.Name));
            seen.insert(pf.Name.toUpper());
            TFieldDef d;
            d.Name = pf.Name;
            d.Type = pf.Type;
            d.Size = pf.Size;
            adopted.push_back(d);
        }
    }

    // Data slot -> packet column, and the columns whose values need converting.
    QVector<int> column(adoptFields ? nf : dataCount_, -1);
    QVector<const TField*> slotField(column.size(), nullptr);
    if (adoptFields) {
        std::iota(column.begin(), column.end(), 0);
    } else {
        QHash<QString, int> byPacketName;
        for (int c = 0; c < nf; ++c)
            byPacketName.insert(p.Fields[c].Name.toUpper(), c);
        for (const auto& f : fields_) {
            if (f->FieldKind() != TFieldKind::Data) continue;
            const int slot = slotOf_[f->Index()];
            slotField[slot] = f.get();
            column[slot] = byPacketName.value(f->FieldName().toUpper(), -1);
        }
    }
    bool identity = column.size() == nf;
    for (int s = 0; identity && s < column.size(); ++s)
        identity = column[s] == s;

    // Type and size per slot, looked up once rather than for every value.
    std::vector<TFieldType> slotType(size_t(column.size()), TFieldType::String);
    std::vector<int> slotSize(size_t(column.size()), 0);
    for (int s = 0; s < column.size(); ++s) {
        if (adoptFields) {
            slotType[size_t(s)] = p.Fields[s].Type;
            slotSize[size_t(s)] = p.Fields[s].Size;
        } else if (slotField[s]) {
            slotType[size_t(s)] = slotField[s]->DataType();
            slotSize[size_t(s)] = slotField[s]->Size();
        }
    }
    // A value of the field's own type needs nothing unless it is a text longer than the field
    // (checked first: that is nearly every value, and cheaper than asking for null).
    auto needsWork = [&](int slot, const QVariant& v) {
        const int id = v.typeId();
        switch (slotType[size_t(slot)]) {
        case TFieldType::String:
            if (id == QMetaType::QString) {
                const int size = slotSize[size_t(slot)];
                return size > 0 && static_cast<const QString*>(v.constData())->size() > size;
            }
            break;
        case TFieldType::Float:
            if (id == QMetaType::Double) return false;
            break;
        case TFieldType::Integer:
            if (id == QMetaType::Int) return false;
            break;
        case TFieldType::Date:
            if (id == QMetaType::QDate) return false;
            break;
        }
        return !isNull(v);
    };
    auto convert = [&](int slot, const QVariant& v, int row) -> QVariant {
        if (!needsWork(slot, v)) return v;
        try {
            if (adoptFields) {
                TFieldDef d = adopted[size_t(slot)];
                TField tmp(*this, -1, d);
                return tmp.convert(v, true);
            }
            return slotField[slot]->convert(v, true);
        } catch (const EDatabaseError& e) {
            fail(QStringLiteral("%1 (linha %2 do pacote de dados)").arg(e.Message()).arg(row + 1));
        }
    };

    QVector<Row> rows;
    if (identity) {
        rows = p.Rows; // shared until a value needs converting
        for (int r = 0; r < rows.size(); ++r) {
            const QVariant* src = p.Rows[r].constData();
            for (int s = 0; s < nf; ++s) {
                if (!needsWork(s, src[s])) continue;
                rows[r][s] = convert(s, src[s], r);
            }
        }
    } else {
        rows.resize(p.Rows.size());
        for (int r = 0; r < p.Rows.size(); ++r) {
            const Row& src = p.Rows[r];
            Row out(column.size());
            for (int s = 0; s < column.size(); ++s)
                if (column[s] >= 0) out[s] = convert(s, src[column[s]], r);
            rows[r] = std::move(out);
        }
    }

    if (adoptFields) {
        for (const TFieldDef& d : adopted)
            AddField(d);
    }
    try {
        prepareActivation();
    } catch (...) {
        if (adoptFields) {
            fields_.clear();
            byName_.clear();
            slotOf_.clear();
            dataCount_ = calcCount_ = 0;
        }
        throw;
    }

    BeforeScroll(*this);
    dropContent();
    rows_ = std::move(rows);
    calcs_ = QVector<Row>(rows_.size());
    if (calcCount_ > 0)
        for (int i = 0; i < rows_.size(); ++i)
            calculate(rows_[i], calcs_[i]);
    match_.assign(size_t(rows_.size()), 1);
    sortRows();
    recomputeMatches();
    rebuildVisible(-1);
    bof_ = true;
    eof_ = vis_.empty();
    setState(TDataSetState::Browse);
    notify(TDataChange::DataSet);
    AfterScroll(*this);
}

void TClientDataSet::CopyFrom(const TClientDataSet& other) {
    if (fields_.empty() && !Active()) {
        for (const auto& f : other.fields_) {
            TFieldDef d = f->def_;
            d.DisplayLabel = f->DisplayLabel;
            d.Visible = f->Visible;
            d.DisplayFormat = f->DisplayFormat;
            d.EditMask = f->EditMask;
            d.Required = f->Required;
            d.DisplayWidth = f->DisplayWidth;
            AddField(d);
        }
    }
    SetData(other.Data());
}

// ---- editing --------------------------------------------------------------------------------

void TClientDataSet::startInsert(bool append) {
    checkActive(QStringLiteral("incluir registros"));
    checkWritable(QStringLiteral("incluir registros"));
    checkBrowseMode();
    BeforeInsert(*this);
    BeforeScroll(*this);
    beforeInsertStorage_ = storageOfCurrent();
    int pos;
    if (append || cur_ < 0) {
        pos = int(vis_.size());
        insertAt_ = int(rows_.size());
    } else {
        pos = cur_;
        insertAt_ = vis_[cur_];
    }
    buf_ = Row(dataCount_);
    bufCalc_ = Row(calcCount_);
    vis_.insert(vis_.begin() + pos, -1);
    cur_ = pos;
    bof_ = eof_ = false;
    setState(TDataSetState::Insert);
    try {
        OnNewRecord(*this);
        calculate(buf_, bufCalc_);
    } catch (...) {
        vis_.erase(vis_.begin() + cur_);
        buf_.clear();
        bufCalc_.clear();
        rebuildVisible(beforeInsertStorage_);
        bof_ = eof_ = vis_.empty();
        setState(TDataSetState::Browse);
        throw;
    }
    notify(TDataChange::DataSet);
    AfterInsert(*this);
    AfterScroll(*this);
}

void TClientDataSet::Append() {
    startInsert(true);
}

void TClientDataSet::Insert() {
    startInsert(false);
}

void TClientDataSet::Edit() {
    checkActive(QStringLiteral("editar"));
    if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) return;
    checkWritable(QStringLiteral("editar"));
    if (vis_.empty()) {
        startInsert(false);
        return;
    }
    BeforeEdit(*this);
    editStorage_ = vis_[cur_];
    buf_ = rows_[editStorage_];
    bufCalc_ = calcs_[editStorage_];
    if (buf_.size() < dataCount_) buf_.resize(dataCount_);
    if (bufCalc_.size() < calcCount_) bufCalc_.resize(calcCount_);
    setState(TDataSetState::Edit);
    AfterEdit(*this);
}

void TClientDataSet::Post() {
    checkActive(QStringLiteral("gravar"));
    if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert)
        fail(QStringLiteral("Não é possível gravar: o conjunto de dados '%1' não está em modo de "
                            "edição ou inclusão.")
                 .arg(label()));
    // Text typed into a control but not yet written (a grid cell not left, an edit whose
    // text is not a value yet) belongs to this record: a post from code, e.g. a tool button
    // that never takes the focus, must not lose it. A control's refusal stops the post here,
    // leaving the record as it was.
    notify(TDataChange::UpdateRecord);
    if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert)
        return; // a control ended the edit itself
    BeforePost(*this);
    if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert)
        return; // handler ended it
    for (const auto& f : fields_) {
        if (f->Required && f->FieldKind() == TFieldKind::Data && isNull(buf_[slotOf_[f->Index()]]))
            fail(QStringLiteral("O campo '%1' deve ser informado.").arg(f->DisplayLabel));
    }
    calculate(buf_, bufCalc_);
    int s;
    if (state_ == TDataSetState::Insert) {
        s = indexSlots_.isEmpty() ? insertAt_ : sortedPosition(buf_, bufCalc_);
        rows_.insert(s, buf_);
        calcs_.insert(s, bufCalc_);
        match_.insert(match_.begin() + s, 1);
    } else {
        s = editStorage_;
        const bool keyChanged =
            !indexSlots_.isEmpty() && (lessByIndex(buf_, bufCalc_, rows_[s], calcs_[s]) ||
                                       lessByIndex(rows_[s], calcs_[s], buf_, bufCalc_));
        if (keyChanged) {
            rows_.remove(s);
            calcs_.remove(s);
            match_.erase(match_.begin() + s);
            s = sortedPosition(buf_, bufCalc_);
            rows_.insert(s, buf_);
            calcs_.insert(s, bufCalc_);
            match_.insert(match_.begin() + s, 1);
        } else {
            rows_[s] = buf_;
            calcs_[s] = bufCalc_;
        }
    }
    match_[s] = matches(s) ? 1 : 0;
    buf_.clear();
    bufCalc_.clear();
    editStorage_ = insertAt_ = beforeInsertStorage_ = -1;
    rebuildVisible(s);
    bof_ = eof_ = vis_.empty();
    setState(TDataSetState::Browse);
    notify(TDataChange::DataSet);
    AfterPost(*this);
}

void TClientDataSet::Cancel() {
    checkActive(QStringLiteral("cancelar"));
    if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert)
        fail(QStringLiteral("Não é possível cancelar: o conjunto de dados '%1' não está em modo "
                            "de edição ou inclusão.")
                 .arg(label()));
    BeforeCancel(*this);
    if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert) return;
    if (state_ == TDataSetState::Insert) {
        if (cur_ >= 0 && cur_ < int(vis_.size()) && vis_[cur_] == -1)
            vis_.erase(vis_.begin() + cur_);
        rebuildVisible(beforeInsertStorage_);
    }
    buf_.clear();
    bufCalc_.clear();
    editStorage_ = insertAt_ = beforeInsertStorage_ = -1;
    bof_ = eof_ = vis_.empty();
    setState(TDataSetState::Browse);
    notify(TDataChange::DataSet);
    AfterCancel(*this);
}

void TClientDataSet::Delete() {
    checkActive(QStringLiteral("excluir"));
    if (state_ == TDataSetState::Insert) {
        Cancel();
        return;
    }
    checkWritable(QStringLiteral("excluir"));
    if (cur_ < 0 || vis_.empty())
        fail(QStringLiteral("Não é possível excluir: o conjunto de dados '%1' está vazio.")
                 .arg(label()));
    BeforeDelete(*this);
    BeforeScroll(*this);
    const int s = vis_[cur_];
    buf_.clear();
    bufCalc_.clear();
    editStorage_ = -1;
    rows_.remove(s);
    calcs_.remove(s);
    match_.erase(match_.begin() + s);
    rebuildVisible(s);
    bof_ = eof_ = vis_.empty();
    setState(TDataSetState::Browse);
    notify(TDataChange::DataSet);
    AfterDelete(*this);
    AfterScroll(*this);
}

// ---- navigation -----------------------------------------------------------------------------

void TClientDataSet::First() {
    checkActive(QStringLiteral("mover o cursor"));
    checkBrowseMode();
    BeforeScroll(*this);
    cur_ = vis_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = vis_.empty();
    notify(TDataChange::Scroll);
    AfterScroll(*this);
}

void TClientDataSet::Last() {
    checkActive(QStringLiteral("mover o cursor"));
    checkBrowseMode();
    BeforeScroll(*this);
    cur_ = int(vis_.size()) - 1;
    eof_ = true;
    bof_ = vis_.empty();
    notify(TDataChange::Scroll);
    AfterScroll(*this);
}

void TClientDataSet::Next() {
    checkActive(QStringLiteral("mover o cursor"));
    checkBrowseMode();
    BeforeScroll(*this);
    if (eof_) return;
    if (cur_ + 1 < int(vis_.size())) {
        ++cur_;
        bof_ = false;
    } else {
        eof_ = true;
    }
    notify(TDataChange::Scroll);
    AfterScroll(*this);
}

void TClientDataSet::Prior() {
    checkActive(QStringLiteral("mover o cursor"));
    checkBrowseMode();
    BeforeScroll(*this);
    if (bof_) return;
    if (cur_ > 0) {
        --cur_;
        eof_ = false;
    } else {
        bof_ = true;
    }
    notify(TDataChange::Scroll);
    AfterScroll(*this);
}

bool TClientDataSet::Eof() const {
    return !Active() || eof_;
}

bool TClientDataSet::Bof() const {
    return !Active() || bof_;
}

int TClientDataSet::RecNo() const {
    return Active() && cur_ >= 0 ? cur_ + 1 : 0;
}

void TClientDataSet::SetRecNo(int n) {
    checkActive(QStringLiteral("mover o cursor"));
    checkBrowseMode();
    if (vis_.empty()) return;
    n = std::clamp(n, 1, int(vis_.size()));
    if (n - 1 == cur_) return;
    BeforeScroll(*this);
    cur_ = n - 1;
    bof_ = eof_ = false;
    notify(TDataChange::Scroll);
    AfterScroll(*this);
}

int TClientDataSet::RecordCount() const {
    return int(vis_.size()) - (state_ == TDataSetState::Insert ? 1 : 0);
}

int TClientDataSet::TotalRecordCount() const {
    return int(rows_.size());
}

bool TClientDataSet::IsEmpty() const {
    return vis_.empty();
}

bool TClientDataSet::Locate(const QString& field, const QVariant& value) {
    const TField& f = FieldByName(field);
    checkActive(QStringLiteral("localizar"));
    checkBrowseMode();
    const bool calc = f.FieldKind() == TFieldKind::Calculated;
    const int slot = slotOf_[f.Index()];
    const TFieldType type = f.DataType();
    const bool wantNull = isNull(value);
    double wantNumber = 0;
    QString wantText;
    QDate wantDate;
    bool comparable = true;
    if (!wantNull) {
        switch (type) {
        case TFieldType::Float:
        case TFieldType::Integer: {
            bool ok = false;
            wantNumber = value.toDouble(&ok);
            if (!ok && value.typeId() == QMetaType::QString) {
                const auto p = NumberFormat::Parse(value.toString());
                ok = p.has_value();
                if (ok) wantNumber = *p;
            }
            comparable = ok;
            break;
        }
        case TFieldType::String:
            wantText = value.toString();
            break;
        case TFieldType::Date:
            wantDate = value.toDate();
            comparable = wantDate.isValid();
            break;
        }
    }
    BeforeScroll(*this);
    if (!comparable) return false;
    for (size_t pos = 0; pos < vis_.size(); ++pos) {
        const Row& row = calc ? calcs_[vis_[pos]] : rows_[vis_[pos]];
        const QVariant& v = slot < row.size() ? row[slot] : nullValue();
        bool hit;
        if (isNull(v) || wantNull) {
            hit = isNull(v) && wantNull;
        } else {
            switch (type) {
            case TFieldType::Float:
            case TFieldType::Integer:
                hit = (v.typeId() == QMetaType::Double ? *static_cast<const double*>(v.constData())
                                                       : v.toDouble()) == wantNumber;
                break;
            case TFieldType::String:
                hit =
                    (v.typeId() == QMetaType::QString ? *static_cast<const QString*>(v.constData())
                                                      : v.toString()) == wantText;
                break;
            case TFieldType::Date:
                hit = v.toDate() == wantDate;
                break;
            default:
                hit = false;
            }
        }
        if (!hit) continue;
        cur_ = int(pos);
        bof_ = eof_ = false;
        notify(TDataChange::Scroll);
        AfterScroll(*this);
        return true;
    }
    return false;
}

// ---- grid access ----------------------------------------------------------------------------

int TClientDataSet::VisibleCount() const {
    return int(vis_.size());
}

int TClientDataSet::CurrentVisibleRow() const {
    return Active() ? cur_ : -1;
}

bool TClientDataSet::rowsOf(int row, const Row*& data, const Row*& calc) const {
    if (!Active() || row < 0 || row >= int(vis_.size())) return false;
    const int s = vis_[row];
    if (s < 0 || (state_ == TDataSetState::Edit && s == editStorage_)) {
        data = &buf_;
        calc = &bufCalc_;
    } else {
        data = &rows_[s];
        calc = &calcs_[s];
    }
    return true;
}

QVariant TClientDataSet::VisibleValue(int row, int fieldIndex) const {
    const Row* data = nullptr;
    const Row* calc = nullptr;
    if (fieldIndex < 0 || fieldIndex >= FieldCount() || !rowsOf(row, data, calc)) return {};
    const bool isCalc = fields_[fieldIndex]->FieldKind() == TFieldKind::Calculated;
    const Row& r = isCalc ? *calc : *data;
    const int slot = slotOf_[fieldIndex];
    return slot < r.size() ? r[slot] : QVariant();
}

QString TClientDataSet::VisibleDisplayText(int row, int fieldIndex) const {
    const Row* data = nullptr;
    const Row* calc = nullptr;
    if (fieldIndex < 0 || fieldIndex >= FieldCount() || !rowsOf(row, data, calc)) return {};
    ContextGuard guard(ctxData_, ctxCalc_, nullptr);
    ctxData_ = data;
    ctxCalc_ = calc;
    return fields_[fieldIndex]->DisplayText();
}
