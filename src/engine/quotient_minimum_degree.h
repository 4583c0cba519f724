// The quotient minimum degree ordering of George and Liu (GENQMD, with its
// reachable-set, quotient-graph transformation, degree-update and merge
// steps), after A. George and J. W. H. Liu, "Computer Solution of Large Sparse
// Positive Definite Systems", Prentice-Hall 1981, chapter 5 and its SPARSPAK
// listings.
//
// Storage convention (1-based, as in the published procedure): the graph has
// n nodes; the neighbours of node v are adjacency[start[v] .. start[v+1]-1],
// each edge stored in both directions, no self loops, no repeated edges.
// The adjacency array is overwritten: the quotient-graph transformation
// keeps the eliminated supernodes' reachable sets in it, which never needs
// more room than the graph had.
#ifndef TAVEX_ENGINE_QUOTIENT_MINIMUM_DEGREE_H
#define TAVEX_ENGINE_QUOTIENT_MINIMUM_DEGREE_H

#include <vector>

namespace Tavex {

struct MinimumDegreeOrder {
    std::vector<int> perm;    // perm[p]: the node eliminated p-th (1-based, perm[0] unused)
    std::vector<int> invp;    // invp[v]: the position of node v
    long long subscripts = 0; // compressed subscripts of the factor (NOFSUB)
};

// Orders the n nodes of the graph (start has n + 2 entries, start[n+1] one
// past the last neighbour). The initial permutation is the identity, so
// among nodes of equal minimum degree the one that comes first in the
// current order is eliminated first.
MinimumDegreeOrder QuotientMinimumDegree(int n, const std::vector<int>& start,
                                         std::vector<int>& adjacency);

} // namespace Tavex

#endif
