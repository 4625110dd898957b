#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "expr/FunctionText.h"
#include "expr/tFunction.h"
#include "expr/tVariableEnv.h"

TEST(tVariableEnvTest, OneTypePerNameInAScope) {
  tVariableEnv env;
  env.extend("a", 1.0);
  env.extend("a", "text");  // another type: ignored
  env.extend("a", true);
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  EXPECT_EQ("", env.getStringVal("a"));
  EXPECT_FALSE(env.getBoolVal("a"));
  EXPECT_EQ(0, env.getType("a"));
  env.extend("a", 2.5);  // the same type replaces
  EXPECT_EQ(2.5, env.getDoubleVal("a"));

  env.extend("n", 3);
  EXPECT_EQ(0, env.getType("n"));
  EXPECT_EQ(3.0, env.getDoubleVal("n"));
  env.extend("s", std::string("hello"));
  env.extend("t", "literal");
  env.extend("b", false);
  env.extend("f", std::make_shared<tFunction>());
  EXPECT_EQ(1, env.getType("s"));
  EXPECT_EQ(1, env.getType("t"));
  EXPECT_EQ("literal", env.getStringVal("t"));
  EXPECT_EQ(3, env.getType("b"));
  EXPECT_EQ(2, env.getType("f"));
  EXPECT_EQ(4, env.getType("A"));  // names are case-sensitive
  EXPECT_FALSE(env.containsVal("A"));
  EXPECT_TRUE(env.containsVal("b"));

  EXPECT_EQ(0.0, env.getDoubleVal("missing"));
  EXPECT_EQ("", env.getStringVal("missing"));
  EXPECT_EQ(nullptr, env.getFunctionVal("missing"));
  EXPECT_FALSE(env.getBoolVal("missing"));
  EXPECT_EQ(nullptr, env.getFunctionVal("s"));  // typed lookups see their own type only

  env.clear();
  EXPECT_EQ(4, env.getType("a"));
  EXPECT_EQ(0.0, env.getDoubleVal("a"));
}

TEST(tVariableEnvTest, ScopesHideAndRestoreBindings) {
  tVariableEnv env;
  env.revertScope();  // nothing to close: no change
  env.extend("a", 1.0);
  env.extend("keep", std::string("outer"));
  env.revertScope();
  EXPECT_EQ(1.0, env.getDoubleVal("a"));

  env.extendScope();
  EXPECT_EQ(1.0, env.getDoubleVal("a"));  // still found through the saved scope
  EXPECT_FALSE(env.containsVal("a"));
  EXPECT_EQ(4, env.getType("a"));
  env.extend("a", 2.0);
  EXPECT_EQ(2.0, env.getDoubleVal("a"));
  env.revertScope();
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  EXPECT_EQ(0, env.getType("a"));

  // Another type in an inner scope: both bindings are reachable by type.
  env.extendScope();
  env.extend("a", std::string("inner"));
  EXPECT_EQ("inner", env.getStringVal("a"));
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  EXPECT_EQ(1, env.getType("a"));
  env.revertScope();
  EXPECT_EQ("", env.getStringVal("a"));
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
}

TEST(tVariableEnvTest, TwoNestedScopesCloseInReverseOrder) {
  tVariableEnv env;
  env.extend("a", 1.0);
  env.extend("flag", true);
  env.extendScope();
  env.extend("b", 2.0);
  env.extend("a", 10.0);
  env.extendScope();
  env.extend("c", 3.0);
  env.extend("flag", false);
  env.extend("a", std::string("deep"));

  EXPECT_EQ(10.0, env.getDoubleVal("a"));  // nearest number binding
  EXPECT_EQ("deep", env.getStringVal("a"));
  EXPECT_EQ(2.0, env.getDoubleVal("b"));
  EXPECT_FALSE(env.getBoolVal("flag"));
  EXPECT_FALSE(env.containsVal("b"));
  EXPECT_TRUE(env.containsVal("c"));

  env.clear();  // empties the inner scope only
  EXPECT_EQ(0.0, env.getDoubleVal("c"));
  EXPECT_TRUE(env.getBoolVal("flag"));
  EXPECT_EQ(10.0, env.getDoubleVal("a"));

  env.revertScope();
  EXPECT_EQ(10.0, env.getDoubleVal("a"));
  EXPECT_TRUE(env.containsVal("b"));
  EXPECT_EQ("", env.getStringVal("a"));
  env.revertScope();
  EXPECT_EQ(1.0, env.getDoubleVal("a"));
  EXPECT_EQ(0.0, env.getDoubleVal("b"));
  EXPECT_FALSE(env.containsVal("b"));
  EXPECT_TRUE(env.getBoolVal("flag"));
  env.revertScope();
  EXPECT_EQ(1.0, env.getDoubleVal("a"));

  env.extend("d", 4.0);  // still usable
  EXPECT_EQ(4.0, env.getDoubleVal("d"));
}

TEST(tVariableEnvTest, ManyOpenScopesAreDestroyedWithoutRecursion) {
  auto env = std::make_unique<tVariableEnv>();
  for (int i = 0; i < 200000; ++i) env->extendScope();
  env->extend("a", 1.0);
  EXPECT_EQ(1.0, env->getDoubleVal("a"));
  env.reset();
}

// The environment shares the functions bound in it: closing the scope drops
// its reference, and whoever made the function can bind it again later.
TEST(tVariableEnvTest, FunctionsOutliveTheScopesThatHeldThem) {
  std::shared_ptr<tFunction> f = functionFromText("f1 = x + 1 f2 = y");
  tVariableEnv env;
  for (int round = 0; round < 2; ++round) {
    env.extendScope();
    env.extend("g", f);
    ASSERT_EQ(f.get(), env.getFunctionVal("g"));
    EXPECT_EQ(tVector2(3, 5), env.getFunctionVal("g")->value(tVector2(2, 5)));
    env.extendScope();
    EXPECT_EQ(f.get(), env.getFunctionVal("g"));  // through the saved scope
    env.revertScope();
    env.revertScope();
    EXPECT_EQ(nullptr, env.getFunctionVal("g"));
    EXPECT_EQ(1, f.use_count());
  }
  EXPECT_EQ(tVector2(1, 0), f->value(tVector2(0, 0)));

  // A function no one else holds goes when the environment lets go of it.
  std::weak_ptr<tFunction> onlyInScope;
  env.extendScope();
  {
    auto owned = functionFromText("f1 = x");
    onlyInScope = owned;
    env.extend("h", owned);
  }
  EXPECT_FALSE(onlyInScope.expired());
  env.revertScope();
  EXPECT_TRUE(onlyInScope.expired());

  std::weak_ptr<tFunction> cleared;
  {
    auto owned = functionFromText("f1 = y");
    cleared = owned;
    env.extend("k", owned);
  }
  env.clear();
  EXPECT_TRUE(cleared.expired());

  // And one still bound when the environment goes is released with it.
  std::weak_ptr<tFunction> atEnd;
  {
    tVariableEnv scoped;
    auto owned = functionFromText("f1 = y");
    atEnd = owned;
    scoped.extend("k", owned);
    scoped.extendScope();
  }
  EXPECT_TRUE(atEnd.expired());
}
