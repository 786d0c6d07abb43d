#pragma once

namespace EngineCore {

// A vertex of a path graph. Its id is the graph slot it was stored in, -1 before that;
// it keeps the id after being removed.
class PathNode {
public:
    PathNode() = default;
    virtual ~PathNode();

    int GetId() const { return _id; }

protected:
    friend class PathGraph;
    void SetId(int id) { _id = id; }

private:
    int _id = -1;
};

}  // namespace EngineCore
