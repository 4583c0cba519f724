// Quotient minimum degree ordering (George and Liu, GENQMD and its
// subroutines QMDRCH, QMDQT, QMDUPD, QMDMRG). The graph is kept as a
// quotient graph in the original adjacency storage: an eliminated node (a
// supernode of eliminated nodes) holds in its adjacency slots the reachable
// set it creates; when those slots run out, the last slot holds a negative
// link to a further eliminated node whose slots continue the list, and a 0
// ends it.
//
// Marker values: 0 free; 1 in the current reachable set (or the node being
// eliminated); 2 a node whose degree is already up to date in this step; -1
// an eliminated node met in this step, or an indistinguishable node merged
// into another (such a node keeps -1 for good).
#include "engine/quotient_minimum_degree.h"

namespace Tavex {

namespace {

// The state of one ordering: the graph and the work arrays, all 1-based.
struct QmdState {
    int n;
    const std::vector<int>& xadj;
    std::vector<int>& adjncy;
    std::vector<int> deg; // degree; -1 once eliminated
    std::vector<int> marker;
    std::vector<int> qsize; // number of nodes a representative stands for
    std::vector<int> qlink; // next node of an indistinguishable set, 0 at the end
    // Work lists with their sizes.
    std::vector<int> rchset, nbrhd;       // reachable set and eliminated neighbours
    std::vector<int> updRchset, updNbrhd; // the same for the degree update
    std::vector<int> ovrlp;               // overlap of two reachable sets

    QmdState(int nodes, const std::vector<int>& start, std::vector<int>& adjacency)
        : n(nodes), xadj(start), adjncy(adjacency), deg(nodes + 1, 0), marker(nodes + 1, 0),
          qsize(nodes + 1, 1), qlink(nodes + 1, 0), rchset(nodes + 1, 0), nbrhd(nodes + 1, 0),
          updRchset(nodes + 1, 0), updNbrhd(nodes + 1, 0), ovrlp(nodes + 1, 0) {}
};

// QMDRCH: the reachable set of root through eliminated nodes. Uneliminated
// neighbours and the nodes reached through eliminated neighbours go to
// rchset (marked 1); the eliminated neighbours go to nbrhd (marked -1).
void ReachableSet(QmdState& s, int root, std::vector<int>& rchset, int& rchsze,
                  std::vector<int>& nbrhd, int& nhdsze) {
    nhdsze = 0;
    rchsze = 0;
    for (int i = s.xadj[root]; i < s.xadj[root + 1]; ++i) {
        int nabor = s.adjncy[i];
        if (nabor == 0)
            return;
        if (s.marker[nabor] != 0)
            continue;
        if (s.deg[nabor] >= 0) {
            // An uneliminated neighbour.
            rchset[++rchsze] = nabor;
            s.marker[nabor] = 1;
            continue;
        }
        // An eliminated neighbour: walk its reachable set, following links.
        s.marker[nabor] = -1;
        nbrhd[++nhdsze] = nabor;
        for (;;) {
            bool followed = false;
            for (int j = s.xadj[nabor]; j < s.xadj[nabor + 1]; ++j) {
                const int node = s.adjncy[j];
                if (node < 0) {
                    nabor = -node; // link to the next eliminated node's slots
                    followed = true;
                    break;
                }
                if (node == 0)
                    break;
                if (s.marker[node] != 0)
                    continue;
                rchset[++rchsze] = node;
                s.marker[node] = 1;
            }
            if (!followed)
                break;
        }
    }
}

// QMDQT: the quotient-graph transformation after root was eliminated. The
// reachable set of root is written into the slots of root and of the
// eliminated neighbours it absorbed, and every node of the reachable set that
// pointed to one of those neighbours points to root instead.
void TransformQuotientGraph(QmdState& s, int root, int rchsze, int nhdsze) {
    int irch = 0;
    int inhd = 0;
    int node = root;
    for (;;) {
        const int jstrt = s.xadj[node];
        const int jstop = s.xadj[node + 1] - 2; // the last slot is kept for a link
        for (int j = jstrt; j <= jstop; ++j) {
            s.adjncy[j] = s.rchset[++irch];
            if (irch >= rchsze) {
                s.adjncy[j + 1] = 0; // end of the list
                goto lists_done;
            }
        }
        // The slots of node are full: continue in the next eliminated node.
        {
            const int link = s.adjncy[jstop + 1];
            if (link < 0) {
                node = -link;
            } else {
                if (inhd >= nhdsze) {
                    // The absorbed nodes always have room for the reachable
                    // set; this guards the storage should that ever fail.
                    s.adjncy[jstop + 1] = 0;
                    goto lists_done;
                }
                node = s.nbrhd[++inhd];
                s.adjncy[jstop + 1] = -node;
            }
        }
    }
lists_done:
    for (irch = 1; irch <= rchsze; ++irch) {
        node = s.rchset[irch];
        if (s.marker[node] < 0)
            continue;
        for (int j = s.xadj[node]; j < s.xadj[node + 1]; ++j) {
            const int nabor = s.adjncy[j];
            if (s.marker[nabor] >= 0)
                continue;
            s.adjncy[j] = root;
            break;
        }
    }
}

// QMDMRG: for every eliminated node of nbrhd, the nodes of the just updated
// reachable set (marked 1) that it also reaches and that have no neighbour
// outside the two reachable sets are indistinguishable: they are merged into
// one representative whose degree is set here (deg0: the size of the updated
// reachable set).
void MergeIndistinguishable(QmdState& s, int deg0, int nhdsze) {
    std::vector<int>& nbrhd = s.updNbrhd;
    for (int inhd = 1; inhd <= nhdsze; ++inhd)
        s.marker[nbrhd[inhd]] = 0;
    for (int inhd = 1; inhd <= nhdsze; ++inhd) {
        int root = nbrhd[inhd];
        s.marker[root] = -1;
        int rchsze = 0;
        int novrlp = 0;
        int deg1 = 0;
        // The reachable set of root, and its overlap with the updated set.
        for (bool more = true; more;) {
            more = false;
            for (int j = s.xadj[root]; j < s.xadj[root + 1]; ++j) {
                const int nabor = s.adjncy[j];
                if (nabor < 0) {
                    root = -nabor;
                    more = true;
                    break;
                }
                if (nabor == 0)
                    break;
                const int mark = s.marker[nabor];
                if (mark < 0)
                    continue;
                if (mark == 0) {
                    s.updRchset[++rchsze] = nabor;
                    deg1 += s.qsize[nabor];
                    s.marker[nabor] = 1;
                } else if (mark == 1) {
                    s.ovrlp[++novrlp] = nabor;
                    s.marker[nabor] = 2;
                }
            }
        }
        // Overlap nodes with no neighbour outside both sets are merged.
        int head = 0;
        int mrgsze = 0;
        for (int iov = 1; iov <= novrlp; ++iov) {
            const int node = s.ovrlp[iov];
            bool outside = false;
            for (int j = s.xadj[node]; j < s.xadj[node + 1]; ++j) {
                if (s.marker[s.adjncy[j]] == 0) {
                    outside = true;
                    break;
                }
            }
            if (outside) {
                s.marker[node] = 1;
                continue;
            }
            mrgsze += s.qsize[node];
            s.marker[node] = -1;
            int lnode = node;
            while (s.qlink[lnode] > 0)
                lnode = s.qlink[lnode];
            s.qlink[lnode] = head;
            head = node;
        }
        if (head > 0) {
            s.qsize[head] = mrgsze;
            s.deg[head] = deg0 + deg1 - 1;
            s.marker[head] = 2;
        }
        // Reset the markers of this eliminated node's reachable set.
        s.marker[nbrhd[inhd]] = 0;
        for (int irch = 1; irch <= rchsze; ++irch)
            s.marker[s.updRchset[irch]] = 0;
    }
}

// QMDUPD: new degrees of the nodes of the reachable set list (marked 1) of
// the node just eliminated, after merging indistinguishable ones.
void UpdateDegrees(QmdState& s, int nlist) {
    if (nlist <= 0)
        return;
    // Eliminated nodes next to the list, other than those just absorbed.
    int nhdsze = 0;
    int deg0 = 0;
    for (int il = 1; il <= nlist; ++il) {
        const int node = s.rchset[il];
        deg0 += s.qsize[node];
        for (int j = s.xadj[node]; j < s.xadj[node + 1]; ++j) {
            const int nabor = s.adjncy[j];
            if (s.marker[nabor] != 0 || s.deg[nabor] >= 0)
                continue;
            s.marker[nabor] = -1;
            s.updNbrhd[++nhdsze] = nabor;
        }
    }
    if (nhdsze > 0)
        MergeIndistinguishable(s, deg0, nhdsze);
    // Degrees of the nodes that were not merged.
    for (int il = 1; il <= nlist; ++il) {
        const int node = s.rchset[il];
        const int mark = s.marker[node];
        if (mark > 1 || mark < 0)
            continue;
        s.marker[node] = 2;
        int rchsze = 0;
        int reachNhdsze = 0;
        ReachableSet(s, node, s.updRchset, rchsze, s.ovrlp, reachNhdsze);
        int deg1 = deg0;
        for (int irch = 1; irch <= rchsze; ++irch) {
            const int inode = s.updRchset[irch];
            deg1 += s.qsize[inode];
            s.marker[inode] = 0;
        }
        s.deg[node] = deg1 - 1;
        for (int inhd = 1; inhd <= reachNhdsze; ++inhd)
            s.marker[s.ovrlp[inhd]] = 0;
    }
}

} // namespace

MinimumDegreeOrder QuotientMinimumDegree(int n, const std::vector<int>& start,
                                         std::vector<int>& adjacency) {
    MinimumDegreeOrder order;
    order.perm.assign(n + 1, 0);
    order.invp.assign(n + 1, 0);
    std::vector<int>& perm = order.perm;
    std::vector<int>& invp = order.invp;
    if (n <= 0)
        return order;
    QmdState s(n, start, adjacency);

    // Identity as the initial permutation; initial degrees.
    int mindeg = n;
    for (int node = 1; node <= n; ++node) {
        perm[node] = node;
        invp[node] = node;
        s.deg[node] = start[node + 1] - start[node];
        if (s.deg[node] < mindeg)
            mindeg = s.deg[node];
    }

    int num = 0;
    int search = 1;
    int thresh = mindeg;
    mindeg = n;
    while (num < n) {
        // Threshold search for a node of minimum degree, in the current
        // order from position search on: the first one found wins.
        if (num + 1 > search)
            search = num + 1;
        int node = 0;
        int j = search;
        for (; j <= n; ++j) {
            const int candidate = perm[j];
            if (s.marker[candidate] < 0)
                continue;
            if (s.deg[candidate] <= thresh) {
                node = candidate;
                break;
            }
            if (s.deg[candidate] < mindeg)
                mindeg = s.deg[candidate];
        }
        if (node == 0) {
            if (search == 1 && thresh >= n)
                break; // no eligible node is left: cannot happen, guards the loop
            // No node at or below the threshold: raise it and search anew.
            search = 1;
            thresh = mindeg;
            mindeg = n;
            continue;
        }
        search = j;
        order.subscripts += s.deg[node];
        s.marker[node] = 1;
        int rchsze = 0;
        int nhdsze = 0;
        ReachableSet(s, node, s.rchset, rchsze, s.nbrhd, nhdsze);

        // Eliminate node and every node indistinguishable from it.
        for (int nxnode = node; nxnode > 0; nxnode = s.qlink[nxnode]) {
            ++num;
            const int np = invp[nxnode];
            const int ip = perm[num];
            perm[np] = ip;
            invp[ip] = np;
            perm[num] = nxnode;
            invp[nxnode] = num;
            s.deg[nxnode] = -1;
        }
        if (rchsze <= 0)
            continue;

        // Update the degrees of the reachable set, lower the threshold when a
        // degree fell below it, and form the new quotient graph.
        UpdateDegrees(s, rchsze);
        s.marker[node] = 0;
        for (int irch = 1; irch <= rchsze; ++irch) {
            const int inode = s.rchset[irch];
            if (s.marker[inode] < 0)
                continue;
            s.marker[inode] = 0;
            const int ndeg = s.deg[inode];
            if (ndeg < mindeg)
                mindeg = ndeg;
            if (ndeg > thresh)
                continue;
            mindeg = thresh;
            thresh = ndeg;
            search = invp[inode];
        }
        if (nhdsze > 0)
            TransformQuotientGraph(s, node, rchsze, nhdsze);
    }
    return order;
}

} // namespace Tavex
